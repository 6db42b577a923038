// A listing says which lines it could not read, and only those: lines that
// name no entry are not counted.
#include <gtest/gtest.h>

#include "remote/remote_item_list.h"

namespace {

TEST(ListingRejectsTest, CountsUnreadLinesAndKeepsTheFirst) {
    struct Case {
        const char* label;
        QByteArray text;
        bool unixGrammar;
        int items;
        int count;
        QByteArray first;
    };
    const Case cases[] = {
        {"summaries, blanks and the folder itself are no entries",
         "total 12\r\ninsgesamt 8\r\n\r\n   \r\ndrwxr-xr-x 2 u g 4096 Jan 5 2011 .\r\n"
         "drwxr-xr-x 2 u g 4096 Jan 5 2011 ..\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 a\r\n",
         true, 1, 0, ""},
        {"pipes, garbage and unknown dates are counted",
         "total 3\r\nprw-r--r-- 1 u g 0 Jan 5 10:30 fifo\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 a\r\n"
         "garbage here\r\n-rw-r--r-- 1 u g 5 14 lut 2019 b\r\n",
         true, 1, 3, "prw-r--r-- 1 u g 0 Jan 5 10:30 fifo"},
        {"a name made only of dots is an entry left out", "-rw-r--r-- 1 u g 5 Jan 5 2011 ...\r\n",
         true, 0, 1, "-rw-r--r-- 1 u g 5 Jan 5 2011 ..."},
        {"the last line without a line feed counts too", "-rw-r--r-- 1 u g 5 2011 a", true, 0, 1,
         "-rw-r--r-- 1 u g 5 2011 a"},
        {"permissions standing inside the name would blank part of it",
         "1 u g 5 Jan 5 2011 a -rw-r--r-- b\r\n-rw-r--r-- 1 u g 5 Jan 5 2011 c -rw-r--r-- d\r\n",
         true, 1, 1, "1 u g 5 Jan 5 2011 a -rw-r--r-- b"},
        {"MLSD: the folder, its parent and blank lines are no entries",
         "type=cdir; /pub\r\ntype=pdir; /\r\ntype=dir; .\r\n\r\ntype=file;size=1; a\r\n", false, 1,
         0, ""},
        {"MLSD: unknown types and broken facts are counted",
         "type=OS.unix=fifo;size=0; pipe\r\ntype=file;size=x; b\r\nno facts here\r\n"
         "type=file;size=1; a\r\n",
         false, 1, 3, "type=OS.unix=fifo;size=0; pipe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        RemoteItemList list;
        RejectedLines rejected;
        list.parse(c.text, c.unixGrammar, &rejected);
        EXPECT_EQ(list.size(), c.items);
        EXPECT_EQ(rejected.count, c.count);
        EXPECT_EQ(rejected.first, c.first);
    }
}

}  // namespace
