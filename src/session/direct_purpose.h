#pragma once

// What a file fetched into memory is for. Each asker listens for its own
// purpose only, so two fetches of the same file never get mixed up.
enum class DirectPurpose {
    Stream = 0,         // bytes handed on as they arrive, nothing kept (a script's output)
    ConcernedFile = 1,  // the site's concerned file
    Viewer = 2,         // a file opened to be viewed or edited
};
