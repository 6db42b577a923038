// Work that changes a remote folder lists it again for the views that show it,
// once.
#include "remote/folder_actions.h"
#include "remote/transfer_starters.h"
#include "support/session_harness.h"

#include <gtest/gtest.h>

namespace {

int Refreshes(const CommandQueue& q, const QByteArray& folder) {
    int n = 0;
    for (int i = 0; i < q.size(); ++i) {
        const auto* r = dynamic_cast<const RefreshFolderAction*>(q.at(i));
        n += r && r->folder == folder ? 1 : 0;
    }
    return n;
}

}  // namespace

TEST(ViewRefresh, ARefreshWaitingInTheQueueIsNotAskedTwice) {
    SessionHarness h;
    h.loginIdle();
    h.session.sendCommand("NOOP");  // keeps the queue busy
    h.engine.refresh("/www");
    h.engine.refresh("/www");
    h.engine.refresh("/other");
    EXPECT_EQ(1, Refreshes(h.session.queue(), "/www"));
    EXPECT_EQ(1, Refreshes(h.session.queue(), "/other"));
    // One for a window of its own is another matter.
    RefreshTarget target;
    target.window = 7;
    h.engine.refresh("/www", target);
    EXPECT_EQ(2, Refreshes(h.session.queue(), "/www"));
}

TEST(ViewRefresh, DirectUploadListsItsFolderWhenAViewShowsIt) {
    for (const bool shown : {false, true}) {
        SCOPED_TRACE(shown ? "shown" : "not shown");
        SessionHarness h;
        h.loginIdle();
        h.engine.setShownFolders([shown](const QByteArray& f) { return shown && f == "/www"; });
        TransferStarters(h.engine).uploadDirect("/www", "notes.txt", "new text", true);
        EXPECT_EQ(shown ? 1 : 0, Refreshes(h.session.queue(), "/www"));
    }
}
