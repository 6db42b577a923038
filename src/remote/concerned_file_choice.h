#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "remote/remote_item.h"

inline constexpr char kReplaceConcernedQuestion[] = "Replace concerned file?";

// "Set as concerned file" on the rows chosen in folder: one file becomes the
// concerned file; replacing another one asks first.
struct ConcernedFileChoice {
    QString path;      // the new concerned file; empty: nothing to do
    QString question;  // asked first when not empty; "no" keeps the old one
    bool operator==(const ConcernedFileChoice&) const = default;
};
ConcernedFileChoice ChooseConcernedFile(const QByteArray& folder,
                                        const std::vector<RemoteItem>& chosen,
                                        const QString& current);
