#pragma once
// Base of the tests that run through a real sound server: one private
// PulseAudio server per test suite (PrivatePulseServer), started before its
// first test and stopped after its last, whatever the tests did. When the
// server can't start, each test fails under CI (CI set, as the CI script's
// environment has it) and is skipped with the reason elsewhere.
#include "support/PrivatePulseServer.h"

#include <gtest/gtest.h>
#include <memory>

class PulseServerTest : public ::testing::Test {
public:
    static void SetUpTestSuite() { s_server = std::make_unique<PrivatePulseServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

protected:
    void SetUp() override
    {
        if (s_server->Ok())
            return;
        if (PrivatePulseServer::Required())
            FAIL() << "the private sound server did not start: " << s_server->Error();
        GTEST_SKIP() << "no private sound server (" << s_server->Error() << ")";
    }
    static PrivatePulseServer& Server() { return *s_server; }

private:
    static inline std::unique_ptr<PrivatePulseServer> s_server;
};
