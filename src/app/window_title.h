#pragma once

#include <QString>

struct SessionOptions;

// The main window's title: the program's name, and while logged in the host
// with the site's name and comment.
QString WindowTitle();
QString WindowTitle(const SessionOptions& loggedInTo);
