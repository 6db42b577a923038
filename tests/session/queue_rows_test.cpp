#include "session/queue_rows.h"
#include "session/command_queue.h"
#include "session/direct_download_group.h"
#include "session/listing_group.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

class Listing : public ListingGroup {
public:
    using ListingGroup::ListingGroup;

protected:
    void processListing(const QByteArray&) override {}
};

QString Joined(const QueueRow& r) {
    return QStringList{r.completed, r.type, r.subType, r.subSubType, r.steps.join(QLatin1Char('|'))}
        .join(QStringLiteral(" ; "));
}

}  // namespace

TEST(QueueRows, OneRowPerGroupHeadFirst) {
    CommandQueue queue;
    PureGroup* login = queue.addCommands({{"USER", "bob"}, {"PASS", "secret"}});
    login->steps()[0].sent = true;
    login->steps()[1].sent = true;
    auto* listing = queue.append(std::make_unique<Listing>(
        ActionKind::RefreshFolder, "/pub", StepList{{"CWD", "/pub"}, {"PASV", {}}, {"LIST", {}}}));
    listing->steps()[0].sent = true;
    queue.addFakeStart(QStringLiteral("Downloading"));
    TransferInfo info;
    info.fileName = "a.txt";
    queue.append(std::make_unique<DirectDownloadGroup>(
        DirectPurpose::Stream, info,
        StepList{{"TYPE", "I"}, {"PASV", {}}, {"REST", "0"}, {"RETR", "a.txt"}, {"NOOP", {}}}));
    queue.addFakeCompleted(2, QStringLiteral("Download completed"));
    queue.insertDownloadToFolder(queue.size(), QStringLiteral("/home/bob"));
    queue.addCommand("NOOP");

    const QList<QueueRow> rows = QueueRows(queue);
    QStringList texts;
    for (const QueueRow& r : rows)
        texts << Joined(r);
    const QStringList expected{
        // The password never shows, even in the report window.
        "Yes ; CMDS_PURE ; CMDS_PURE ;  ; USER bob  (sent)|PASS ******  (sent)",
        "No ; CMDS_SOCKET ; SOCKET_LIST ; LIST_REFRESH_FOLDER ; CWD /pub  (sent)|PASV  "
        "(unsend)|LIST  (unsend)",
        "Yes ; CMDS_FAKE ; CMDS_FAKE ; FAKE_START ; ACTION  (unsend)",
        // Steps beyond the four columns are not shown.
        "No ; CMDS_SOCKET ; SOCKET_DIRECT_DOWNLOAD ;  ; TYPE I  (unsend)|PASV  (unsend)|REST 0  "
        "(unsend)|RETR a.txt  (unsend)",
        "Yes ; CMDS_FAKE ; CMDS_FAKE ; FAKE_COMPLETED ; ACTION  (unsend)",
        "Yes ; CMDS_FAKE ; CMDS_FAKE ; FAKE_DOWNLOAD_TO_FOLDER ; ACTION  (unsend)",
        "No ; CMDS_PURE ; CMDS_PURE ;  ; NOOP  (unsend)",
    };
    EXPECT_EQ(expected, texts);
    EXPECT_EQ(queue.at(3), rows[3].group);
    EXPECT_EQ(QStringLiteral("commands count : 7"), QueueCountText(queue.size()));
    EXPECT_EQ(QueueColumnTitles().size(), QueueColumnWeights().size());
}
