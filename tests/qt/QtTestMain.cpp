#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// A test file that needs a particular environment before the QApplication exists
// (QT_SCALE_FACTOR, say) defines this; the weak default leaves everything as it is.
__attribute__((weak)) void prepareQtTestEnvironment() {}

// Test discovery runs this binary at build time without the test's environment,
// so choose the offscreen platform here when there is no display either.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    prepareQtTestEnvironment();
    ::testing::InitGoogleTest(&argc, argv);
    // One application for all tests; every QtPlatform made by a test joins it.
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
