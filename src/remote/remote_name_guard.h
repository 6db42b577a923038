#pragma once

#include <QByteArray>

// A name from a listing or a selection is used in a remote path or a command only
// when it names one entry of its folder: not empty, not "." or "..", no '/', and
// no CR, LF or NUL. Anything else would reach outside the folder (a delete of
// "../x" empties a sibling) or could not be sent at all.
bool isSafeRemoteName(const QByteArray& name);
