#include <gtest/gtest.h>

#include "support/test_home.h"

#include <QApplication>
#include <QStandardPaths>

// The journeys drive the real window offscreen; the tool-bar profile and the
// caches go to a test location, never to the user's.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    UseTemporaryHome();
    // The window's own icons, as the program loads them.
    Q_INIT_RESOURCE(velmora);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
