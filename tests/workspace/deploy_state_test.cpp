#include "workspace/deploy_state.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kHashA(64, 'a');
const QByteArray kHashB(64, 'b');

DeployCandidate onServer(const char* path, qint64 size, const QByteArray& hash, qint64 remoteSize) {
    DeployCandidate c;
    c.path = path;
    c.size = size;
    c.sha256 = hash;
    c.remoteExists = true;
    c.remoteSize = remoteSize;
    return c;
}

}  // namespace

TEST(DeployStateFile, WritesAndReadsBackAwkwardPaths) {
    DeployState state;
    state.files["index.html"] = {12, kHashA};
    state.files["a b/tab\there\\back\nline"] = {0, kHashB};
    QString error;
    const auto back = DeployState::parse(state.serialize(), &error);
    ASSERT_TRUE(back) << error.toStdString();
    EXPECT_EQ(back->files, state.files);
    EXPECT_TRUE(state.serialize().startsWith("velmora-deploy 1\n"));
}

TEST(DeployStateFile, DamagedOrForeignFilesAreRefused) {
    const QByteArray good = "velmora-deploy 1\nx\t1\t" + kHashA + "\n";
    struct Case {
        const char* what;
        QByteArray text;
    } cases[] = {
        {"empty", ""},
        {"foreign", "some other tool's file\n"},
        {"cut short", good.left(good.size() - 5)},
        {"size not a number", "velmora-deploy 1\nx\tten\t" + kHashA + "\n"},
        {"negative size", "velmora-deploy 1\nx\t-1\t" + kHashA + "\n"},
        {"short hash", "velmora-deploy 1\nx\t1\tabc\n"},
        {"upper-case hash", "velmora-deploy 1\nx\t1\t" + QByteArray(64, 'A') + "\n"},
        {"two fields", "velmora-deploy 1\nx\t1\n"},
        {"bad escape", "velmora-deploy 1\nx\\q\t1\t" + kHashA + "\n"},
        {"path twice", good + "x\t2\t" + kHashB + "\n"},
        {"empty line", good + "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        EXPECT_FALSE(DeployState::parse(c.text, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    QString error;
    EXPECT_TRUE(DeployState::parse(good, &error));
    EXPECT_TRUE(DeployState::parse("velmora-deploy 1\n", &error)) << "an empty project";
}

TEST(ChangedDeployPlan, SizesFirstThenHashes) {
    DeployState state;
    state.files["same.html"] = {10, kHashA};
    state.files["edited.html"] = {10, kHashA};
    state.files["gone.html"] = {5, kHashA};
    state.files["gone-from-server.html"] = {5, kHashA};
    DeployCandidate fresh;
    fresh.path = "new.html";
    fresh.size = 3;
    DeployCandidate blocked;
    blocked.path = "img";
    blocked.remoteNotFile = true;
    const std::vector<DeployCandidate> local = {
        onServer("same.html", 10, kHashA, 10),
        onServer("edited.html", 10, kHashB, 10),
        onServer("resized.html", 11, kHashA, 10),
        onServer("unrecorded.html", 4, kHashA, 4),
        fresh,
        blocked,
    };
    const std::vector<QByteArray> remoteOnly = {"gone.html", "user-upload.jpg"};

    const DeployPlan bySize = PlanChangedDeploy(local, std::nullopt, remoteOnly, true);
    EXPECT_EQ(bySize.uploads, (std::vector<QByteArray>{"resized.html", "new.html"}));
    EXPECT_TRUE(bySize.deletes.empty()) << "without a state nothing is known to be ours";
    EXPECT_EQ(bySize.conflicts, std::vector<QByteArray>{"img"});

    const DeployPlan byHash = PlanChangedDeploy(local, state, remoteOnly, true);
    EXPECT_EQ(byHash.uploads, (std::vector<QByteArray>{"edited.html", "resized.html",
                                                       "unrecorded.html", "new.html"}));
    EXPECT_EQ(byHash.deletes, std::vector<QByteArray>{"gone.html"});
    EXPECT_TRUE(PlanChangedDeploy(local, state, remoteOnly, false).deletes.empty());
}

// What the state keeps of files gone locally, and of the files a deploy is
// about to replace.
TEST(ChangedDeployPlan, TheStateKeepsWhatIsStillOnTheServer) {
    DeployState last;
    for (const char* p : {"kept.html", "deleted.html", "gone-from-server.html", "edited.html"})
        last.files[p] = {5, kHashA};
    DeployPlan plan;
    plan.uploads = {"edited.html", "new.html"};
    plan.deletes = {"deleted.html"};
    // Cut short after this, a deploy sends the files again even unchanged, and
    // removed locally they are deleted from the server, the new one too.
    QString error;
    const std::optional<DeployState> before =
        DeployState::parse(DeployStateBeforeUploads({}, last, plan).serialize(), &error);
    ASSERT_TRUE(before) << error.toStdString();
    EXPECT_EQ(before->files.size(), 5u);
    EXPECT_EQ(PlanChangedDeploy({onServer("edited.html", 5, kHashA, 5)}, before, {}, false).uploads,
              std::vector<QByteArray>{"edited.html"});
    EXPECT_EQ(PlanChangedDeploy({}, before, {"edited.html", "new.html"}, true).deletes,
              (std::vector<QByteArray>{"edited.html", "new.html"}));
    // A first deploy has no state: the files found the same are recorded as they are here.
    DeployCandidate fresh = onServer("new.html", 3, kHashB, 0);
    fresh.remoteExists = false;
    const DeployState first = DeployStateBeforeUploads({onServer("same.html", 5, kHashA, 5), fresh},
                                                       std::nullopt, {{"new.html"}, {}, {}});
    EXPECT_EQ(first.files.at("same.html"), (DeployRecord{5, kHashA}));
    EXPECT_EQ(first.files.at("new.html"), (DeployRecord{3, QByteArray(64, '0')}));

    const std::vector<DeployCandidate> local = {onServer("edited.html", 6, kHashB, 5)};
    const DeployState after = DeployStateAfter(
        local, last, plan, [](const QByteArray& p) { return p != "gone-from-server.html"; });
    std::vector<QByteArray> listed;
    for (const auto& [path, record] : after.files)
        listed.push_back(path);
    EXPECT_EQ(listed, (std::vector<QByteArray>{"edited.html", "kept.html"}));
    EXPECT_EQ(after.files.at("edited.html"), (DeployRecord{6, kHashB}));
}

TEST(DeployStateFile, ListsBelowMatchesWholeFolderNames) {
    DeployState state;
    state.files["img/logo.svg"] = {1, kHashA};
    state.files["docs/api/ref.html"] = {1, kHashA};
    state.files["imgs"] = {1, kHashA};
    const struct {
        const char* folder;
        bool below;
    } cases[] = {{"img", true},   {"docs", true}, {"docs/api", true}, {"doc", false},
                 {"imgs", false}, {"im", false},  {"docs/ap", false}, {"logo.svg", false}};
    for (const auto& c : cases)
        EXPECT_EQ(state.listsBelow(c.folder), c.below) << c.folder;
}
