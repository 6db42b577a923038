#pragma once

#include "support/pyftpdlib_server.h"

#include <gtest/gtest.h>

#include <memory>

// A test suite over one pyftpdlib server that its tests share, each working in
// files of its own there. The server starts in SetUpTestSuite, so a test
// program run by hand starts it once per suite; under ctest, which runs every
// test in a process of its own, each test starts its own server.
// `Suite` is the deriving class, so that each suite has a server of its own.
template <typename Suite>
class PyftpdlibSuite : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server_ = std::make_unique<PyftpdlibServer>();
        ready_ = server_->start();
        error_ = ready_ ? QString() : server_->lastError();
    }
    static void TearDownTestSuite() { server_.reset(); }
    // A suite's own SetUp calls this first (ASSERT_NO_FATAL_FAILURE).
    void SetUp() override {
        ASSERT_TRUE(ready_) << "pyftpdlib did not start: " << error_.toStdString();
    }

    static inline std::unique_ptr<PyftpdlibServer> server_;
    static inline bool ready_ = false;
    static inline QString error_;
};
