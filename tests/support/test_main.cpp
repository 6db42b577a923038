#include <gtest/gtest.h>

#include "support/test_home.h"

#include <QCoreApplication>

// Every test program needs an event loop owner: sockets and timers run on it.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    UseTemporaryHome();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
