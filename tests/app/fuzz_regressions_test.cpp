// Replays every saved fuzz input through the entry the fuzz target calls: the
// inputs that once broke a parser (fuzz/regressions) and the seeds
// (fuzz/corpus). An entry traps when a check fails, which ends this program.
#include "targets/fuzz_targets.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <string>
#include "velmora_paths.h"

namespace {

QStringList inputsOf(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

int replay(const FuzzTarget& target, const QStringList& paths) {
    int count = 0;
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            ADD_FAILURE() << "cannot read " << path.toStdString();
            continue;
        }
        const QByteArray bytes = file.readAll();
        target.entry(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        ++count;
    }
    return count;
}

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzReplay, SeedsAndRegressionsPassTheChecks) {
    const FuzzTarget& target = GetParam();
    const QString fuzz = QStringLiteral(VELMORA_FUZZ_DIR);
    const QString name = QString::fromLatin1(target.name);
    // Every target starts from seeds; a missing folder means a renamed target.
    EXPECT_GT(replay(target, inputsOf(fuzz + QStringLiteral("/corpus/") + name)), 0);
    replay(target, inputsOf(fuzz + QStringLiteral("/regressions/") + name));
}

INSTANTIATE_TEST_SUITE_P(, FuzzReplay, ::testing::ValuesIn(kFuzzTargets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FuzzRegressions, EveryFolderNamesATarget) {
    const QDir dir(QStringLiteral(VELMORA_FUZZ_DIR "/regressions"));
    for (const QString& folder : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool known = false;
        for (const FuzzTarget& target : kFuzzTargets)
            known = known || folder == QLatin1String(target.name);
        EXPECT_TRUE(known) << folder.toStdString();
    }
}

}  // namespace
