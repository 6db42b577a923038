#pragma once

#include <QByteArray>
#include <QList>

// The reply codes one command accepts as success and as error, chosen by an
// exact, case-sensitive comparison of the command name.
struct ReplyExpectation {
    QList<int> successCodes;
    QList<int> errorCodes;

    static ReplyExpectation forName(const QByteArray& name);
    bool isSuccess(int code) const { return successCodes.contains(code); }
    bool isError(int code) const { return errorCodes.contains(code); }
};
