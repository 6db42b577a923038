#include "remote/remote_name_guard.h"

bool isSafeRemoteName(const QByteArray& name) {
    if (name.isEmpty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (c == '/' || c == '\r' || c == '\n' || c == '\0')
            return false;
    }
    return true;
}
