#pragma once

#include "session/reply_expectation.h"

#include <QByteArray>

// One command line of a group.
struct CommandStep {
    CommandStep() = default;
    CommandStep(QByteArray stepName, QByteArray stepArgument)
        : name(std::move(stepName)),
          argument(std::move(stepArgument)),
          expectation(ReplyExpectation::forName(name)) {}

    QByteArray name;
    QByteArray argument;
    bool sent = false;
    ReplyExpectation expectation;

    QByteArray wireText() const { return argument.isEmpty() ? name : name + ' ' + argument; }
    bool nameIs(const char* other) const { return name.compare(other, Qt::CaseInsensitive) == 0; }
};

using StepList = QList<QPair<QByteArray, QByteArray>>;
