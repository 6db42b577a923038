#include <gtest/gtest.h>

#include "support/test_home.h"

#include <QApplication>
#include <QStandardPaths>

#include "platform/ui/accessible_application.h"

// Widget tests need a QApplication; they run offscreen. The tool-bar profile
// goes to a test location, never to the user's.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    UseTemporaryHome();
    InstallAccessibility();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
