#include "fuzz_check.h"
#include "fuzz_targets.h"

#include "session/command_index.h"

#include <algorithm>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Groups by first character, ascending and unique; words within a group
// ascending and unique, free of blanks, each found again by lookup.
void checkIndex(const CommandIndex& index, const Reply& reply) {
    QByteArray all;
    for (const QByteArray& line : reply.lines)
        all += line;
    const QList<CommandIndex::LetterGroup>& groups = index.groups();
    FUZZ_CHECK(index.letterCount() == groups.size());
    FUZZ_CHECK(index.isEmpty() == groups.isEmpty());
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const CommandIndex::LetterGroup& group = groups[g];
        FUZZ_CHECK(!group.words.isEmpty());
        if (g > 0)
            FUZZ_CHECK(groups[g - 1].letter < group.letter);
        for (qsizetype w = 0; w < group.words.size(); ++w) {
            const QByteArray& word = group.words[w];
            FUZZ_CHECK(!word.isEmpty() && word[0] == group.letter);
            FUZZ_CHECK(std::none_of(word.begin(), word.end(), isBlank));
            FUZZ_CHECK(all.contains(word));
            if (w > 0)
                FUZZ_CHECK(group.words[w - 1] < word);
            FUZZ_CHECK(index.contains(word) && contains(index, word));
        }
    }
    FUZZ_CHECK(!index.contains(QByteArray()));
}

}  // namespace

// Input: the lines of a FEAT or HELP reply, one per line feed.
int fuzzCommandIndex(const uint8_t* data, size_t size) {
    Reply reply;
    const QByteArray text = fuzzBytes(data, size);
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf('\n', start);
        const qsizetype end = lf < 0 ? text.size() : lf + 1;
        reply.lines.append(text.mid(start, end - start));
        start = end;
    }
    reply.complete = true;
    checkIndex(indexFeatReply(reply), reply);
    checkIndex(indexHelpReply(reply), reply);
    return 0;
}
