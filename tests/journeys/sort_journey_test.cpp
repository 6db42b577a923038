// Sorting the remote list by size: a click on the header, a second to
// reverse, and the order found again after the program is started anew.
#include "journeys/journey.h"

#include "remote/remote_list_columns.h"
#include "remote/ui/explorer_item_view.h"
#include "remote/ui/remote_explorer.h"
#include "support/ftp_server_process.h"
#include "ui/header_click.h"

#include <QHeaderView>

#include <gtest/gtest.h>

namespace {

TEST(SortJourney, SizeHeaderSortsFoldersFirstAndTheOrderOutlivesARestart) {
    Journey j;
    ASSERT_TRUE(j.open()) << j.error().toStdString();
    for (const auto& [name, size] : {std::pair{"www/big.bin", 9000},
                                     {"www/small.bin", 10},
                                     {"www/mid.bin", 700},
                                     {"www/sub/inner.txt", 99999},
                                     {"www/Assets/a.css", 5}}) {
        ASSERT_TRUE(j.server().writeFile(
            QString::fromUtf8(j.remote(QString::fromLatin1(name))).mid(1), Journey::bytes(size)));
    }
    const QByteArray www = j.remote(QStringLiteral("www"));
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(www));
    EXPECT_EQ(j.remoteNames(), (QStringList{"Assets", "sub", "big.bin", "mid.bin", "small.bin"}));

    const int size = int(RemoteListColumn::Size);
    QTreeView* list = j.remoteSide().listView();
    ClickHeader(list, size);
    EXPECT_EQ(j.remoteNames(), (QStringList{"Assets", "sub", "small.bin", "mid.bin", "big.bin"}));
    EXPECT_EQ(list->header()->sortIndicatorSection(), size);
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::AscendingOrder);
    ClickHeader(list, size);
    EXPECT_EQ(j.remoteNames(), (QStringList{"Assets", "sub", "big.bin", "mid.bin", "small.bin"}));
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    // The sizes the rows show agree with the server's files.
    EXPECT_EQ(j.remoteSizeText(QStringLiteral("big.bin")), QStringLiteral("9,000 b"));

    ASSERT_TRUE(j.reopen()) << j.error().toStdString();
    ASSERT_TRUE(j.logIn());
    ASSERT_TRUE(j.openRemoteFolder(www));
    list = j.remoteSide().listView();
    EXPECT_EQ(list->header()->sortIndicatorSection(), size);
    EXPECT_EQ(list->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(j.remoteNames(), (QStringList{"Assets", "sub", "big.bin", "mid.bin", "small.bin"}));
}

}  // namespace
