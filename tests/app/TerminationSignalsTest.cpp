// SIGTERM, SIGINT and SIGHUP delivered to the process run the added steps and
// then the shut-down on the event loop, which then returns 128 + the signal.
#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <string>

namespace {

volatile sig_atomic_t g_before = 0;
void BeforeHandler(int sig)
{
    g_before = sig;
}

}  // namespace

TEST(TerminationSignals, EachSignalRunsTheStepsThenTheShutDownAndEndsTheLoopWith128PlusIt)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication qapp(argc, argv);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        g_before = 0;
        struct sigaction mine {};
        mine.sa_handler = BeforeHandler;
        sigemptyset(&mine.sa_mask);
        struct sigaction old {};
        sigaction(sig, &mine, &old);
        std::string ran;
        {
            TerminationSignals termination([&ran] { ran += "shut-down;"; });
            termination.AddStep([&ran] { ran += "keep text;"; });
            termination.AddStep([&ran] { ran += "second step;"; });
            // Raised from inside the loop, as a signal arrives while it runs;
            // a guard ends a loop the signal never reaches.
            QTimer::singleShot(0, [sig] { std::raise(sig); });
            QTimer::singleShot(20000, [] { QCoreApplication::exit(-1); });
            EXPECT_EQ(QCoreApplication::exec(), 128 + sig) << sig;
            EXPECT_EQ(ran, "keep text;second step;shut-down;") << sig;
            EXPECT_EQ(termination.Received(), sig);

            // A second signal now would take the default action.
            struct sigaction now {};
            sigaction(sig, nullptr, &now);
            EXPECT_EQ(now.sa_handler, SIG_DFL) << sig;
        }
        // Destroyed: the handler that was there before is back.
        std::raise(sig);
        EXPECT_EQ(g_before, sig);
        sigaction(sig, &old, nullptr);
    }
}
