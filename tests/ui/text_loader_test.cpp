#include "extras/ui/text_loader.h"

#include "workbench_harness.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTimer>

// A 50 MB file goes in piece by piece, the event loop turning between pieces.
TEST(TextLoader, LongTextLeavesTheWindowResponsive) {
    QString line = QStringLiteral("[09-Dec-2026 01:00:12 UTC] PHP Warning:  Undefined variable ");
    line += QString(QLatin1Char('x')).repeated(100 - line.size() - 1) + QLatin1Char('\n');
    const QString text = line.repeated(500 * 1024);  // 50 MB
    QPlainTextEdit editor;
    editor.resize(600, 400);
    editor.show();
    // What the editor held at each turn of the event loop while it filled.
    QList<int> seen;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] { seen << editor.document()->characterCount(); });
    LoadPlainText(&editor, text);
    turn.start(0);
    EXPECT_TRUE(IsLoadingText(&editor));
    EXPECT_TRUE(editor.isReadOnly());
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !IsLoadingText(&editor); }, 120000));
    turn.stop();
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_FALSE(editor.document()->isModified());
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_EQ(editor.document()->blockCount(), 500 * 1024 + 1);
    // The loop turned between the pieces: many turns, and none saw more than
    // a megabyte go in since the one before.
    EXPECT_GE(seen.size(), 50);
    for (qsizetype i = 1; i < seen.size(); ++i)
        EXPECT_LE(seen[i] - seen[i - 1], 1 << 20) << "turn " << i;
}
