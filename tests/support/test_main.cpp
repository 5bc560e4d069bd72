// Test main shared by every test executable: widgets run on the offscreen
// platform, so GUI tests need no display. VELTRAN_TEST_NO_GUI skips the
// application object (ThreadSanitizer runs of plain thread tests).
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!std::getenv("VELTRAN_TEST_NO_GUI"))
        app = std::make_unique<QApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
