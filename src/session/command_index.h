#pragma once

#include "session/reply.h"

#include <QByteArray>
#include <QList>

// The command words a server named in its FEAT or HELP reply, grouped by their
// first character and sorted.
class CommandIndex {
public:
    struct LetterGroup {
        char letter = 0;
        QList<QByteArray> words;
    };

    void clear() { groups_.clear(); }
    bool isEmpty() const { return groups_.isEmpty(); }
    int letterCount() const { return int(groups_.size()); }
    const QList<LetterGroup>& groups() const { return groups_; }

    // Words are looked up only after sort(), which also drops repeated words.
    void add(const QByteArray& word);
    void sort();
    bool contains(const QByteArray& word) const;

private:
    QList<LetterGroup> groups_;
};

// FEAT: the first word of each feature line. HELP: every word of each line.
// Empty lines and numbered lines are skipped.
CommandIndex indexFeatReply(const Reply& reply);
CommandIndex indexHelpReply(const Reply& reply);
bool contains(const CommandIndex& index, const QByteArray& word);
