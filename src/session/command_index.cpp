#include "session/command_index.h"

#include <algorithm>

void CommandIndex::add(const QByteArray& word) {
    if (word.isEmpty())
        return;
    // Duplicates go in sort(): looking each word up here would make a long
    // reply of distinct words cost quadratic time.
    const char letter = word[0];
    for (LetterGroup& g : groups_) {
        if (g.letter == letter) {
            g.words.append(word);
            return;
        }
    }
    groups_.append({letter, {word}});
}

void CommandIndex::sort() {
    std::sort(groups_.begin(), groups_.end(),
              [](const LetterGroup& a, const LetterGroup& b) { return a.letter < b.letter; });
    for (LetterGroup& g : groups_) {
        std::sort(g.words.begin(), g.words.end());
        g.words.erase(std::unique(g.words.begin(), g.words.end()), g.words.end());
    }
}

bool CommandIndex::contains(const QByteArray& word) const {
    if (word.isEmpty())
        return false;
    for (const LetterGroup& g : groups_)
        if (g.letter == word[0])
            return std::binary_search(g.words.begin(), g.words.end(), word);
    return false;
}

static bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

static bool skippedLine(const QByteArray& line) {
    QByteArray t = line;
    while (!t.isEmpty() && (t.endsWith('\n') || t.endsWith('\r')))
        t.chop(1);
    return t.isEmpty() || (t[0] >= '0' && t[0] <= '9');
}

CommandIndex indexFeatReply(const Reply& reply) {
    CommandIndex index;
    for (const QByteArray& line : reply.lines) {
        if (skippedLine(line))
            continue;
        qsizetype i = 0;
        while (i < line.size() && line[i] == ' ')
            ++i;
        qsizetype end = i;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        index.add(line.mid(i, end - i));
    }
    index.sort();
    return index;
}

CommandIndex indexHelpReply(const Reply& reply) {
    CommandIndex index;
    for (const QByteArray& line : reply.lines) {
        if (skippedLine(line))
            continue;
        for (const QByteArray& w : line.simplified().split(' '))
            index.add(w);
    }
    index.sort();
    return index;
}

bool contains(const CommandIndex& index, const QByteArray& word) {
    return index.contains(word);
}
