#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CommandGroup;
class CommandQueue;

// The command queue as rows of text: one row per group, head first.
struct QueueRow {
    const CommandGroup* group = nullptr;  // identifies the row; never dereferenced
    QString completed;                    // "Yes" / "No"
    QString type;                         // group kind name
    QString subType;                      // socket kind name, or the group kind again
    QString subSubType;                   // fake kind name or listing action name
    QStringList steps;                    // one per column "cmd 0".."cmd 3": "WIRE  (sent)"
};

inline constexpr int kQueueStepColumns = 4;

QueueRow QueueRowFor(const CommandGroup& group);
QList<QueueRow> QueueRows(const CommandQueue& queue);
// "commands count : N"
QString QueueCountText(int count);
// The column titles and their width weights.
QStringList QueueColumnTitles();
QList<int> QueueColumnWeights();
