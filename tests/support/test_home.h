#pragma once

// Points HOME and XDG_DATA_HOME at a folder of this test program's own for
// its whole run, beside the tests' temporary folders: files a download puts
// in the trash, and whatever else the program keeps in a home, never reach
// the user's.
void UseTemporaryHome();
