#include "session/queue_rows.h"

#include "session/command_queue.h"
#include "session/fake_group.h"
#include "session/socket_group.h"

QueueRow QueueRowFor(const CommandGroup& group) {
    QueueRow row;
    row.group = &group;
    row.completed = group.isComplete() ? QStringLiteral("Yes") : QStringLiteral("No");
    const int kind = int(group.kind());
    row.type = QString::fromLatin1(groupKindName(kind));
    switch (group.kind()) {
        case GroupKind::Pure:
            row.subType = row.type;
            break;
        case GroupKind::Fake:
            row.subType = row.type;
            row.subSubType = QString::fromLatin1(
                fakeKindName(int(static_cast<const FakeGroup&>(group).fakeKind)));
            break;
        case GroupKind::Socket: {
            const auto& socket = static_cast<const SocketGroup&>(group);
            row.subType = QString::fromLatin1(socketKindName(int(socket.socketKind())));
            if (socket.socketKind() == SocketKind::List)
                row.subSubType = QString::fromLatin1(socket.actionName());
            break;
        }
    }
    const auto& steps = group.steps();
    for (qsizetype i = 0; i < steps.size() && i < kQueueStepColumns; ++i) {
        // The rows are meant for bug reports: a password must not end up in one.
        row.steps << displayText(maskPassword(steps[i].wireText())) + QStringLiteral("  (") +
                         (steps[i].sent ? QStringLiteral("sent") : QStringLiteral("unsend")) +
                         QLatin1Char(')');
    }
    return row;
}

QList<QueueRow> QueueRows(const CommandQueue& queue) {
    QList<QueueRow> rows;
    rows.reserve(queue.size());
    for (int i = 0; i < queue.size(); ++i)
        rows << QueueRowFor(*queue.at(i));
    return rows;
}

QString QueueCountText(int count) {
    return QStringLiteral("commands count : %1").arg(count);
}

QStringList QueueColumnTitles() {
    return {QStringLiteral("Completed"),    QStringLiteral("Type"),  QStringLiteral("Sub-type"),
            QStringLiteral("Sub-sub-type"), QStringLiteral("cmd 0"), QStringLiteral("cmd 1"),
            QStringLiteral("cmd 2"),        QStringLiteral("cmd 3")};
}

QList<int> QueueColumnWeights() {
    return {60, 100, 100, 100, 100, 100, 100, 100};
}
