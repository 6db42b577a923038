#include "remote/remote_name_guard.h"

#include "remote/local_name_guard.h"

bool isSafeRemoteName(const QByteArray& name) {
    // One entry of its folder, as for local use, and sendable on a command line.
    return isSafeLocalName(name) && !name.contains('\r') && !name.contains('\n');
}
