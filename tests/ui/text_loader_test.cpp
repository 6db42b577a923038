#include "extras/ui/text_loader.h"

#include "workbench_harness.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTimer>

// A 50 MB file goes in without holding the event loop for long.
TEST(TextLoader, LongTextLeavesTheWindowResponsive) {
    QString line = QStringLiteral("[09-Dec-2026 01:00:12 UTC] PHP Warning:  Undefined variable ");
    line += QString(QLatin1Char('x')).repeated(100 - line.size() - 1) + QLatin1Char('\n');
    const QString text = line.repeated(500 * 1024);  // 50 MB
    QPlainTextEdit editor;
    editor.resize(600, 400);
    editor.show();
    qint64 longest = 0;
    QElapsedTimer gap;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] { longest = qMax(longest, gap.restart()); });
    QElapsedTimer total;
    total.start();
    LoadPlainText(&editor, text);
    gap.start();
    heartbeat.start();
    EXPECT_TRUE(IsLoadingText(&editor));
    EXPECT_TRUE(editor.isReadOnly());
    ASSERT_TRUE(WorkbenchHarness::waitFor([&] { return !IsLoadingText(&editor); }, 120000));
    heartbeat.stop();
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_FALSE(editor.document()->isModified());
    EXPECT_FALSE(editor.document()->isUndoAvailable());
    EXPECT_EQ(editor.document()->blockCount(), 500 * 1024 + 1);
    EXPECT_LT(longest, 1000) << "longest pause " << longest << " ms of " << total.elapsed();
    std::cout << "50 MB in " << total.elapsed() << " ms, longest pause " << longest << " ms\n";
}
