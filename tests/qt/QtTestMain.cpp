#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

// Test discovery runs this binary at build time without the test's environment,
// so choose the offscreen platform here when there is no display either.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
