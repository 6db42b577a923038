#pragma once

#include <ostream>

#include "remote/remote_item.h"

// Readable failure output for item comparisons.
inline void PrintTo(const RemoteItem& item, std::ostream* os) {
    *os << "{kind '" << (item.kind ? item.kind : '0') << "' perms \""
        << item.permissions.toStdString() << "\" time \"" << item.time.toStdString()
        << "\" target \"" << item.linkTarget.toStdString() << "\" name \""
        << item.name.toStdString() << "\" size " << item.size << " date " << item.year << '-'
        << item.month << '-' << item.day << " links " << item.links << " owner \""
        << item.owner.toStdString() << "\" group \"" << item.group.toStdString() << "\" unique \""
        << item.unique.toStdString() << "\"}";
}
