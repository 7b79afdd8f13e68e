#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Test discovery runs this binary at build time without the test's environment, so the
// offscreen platform is chosen here when there is no display either.
int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);   // every binding a test makes joins this one
    return RUN_ALL_TESTS();
}
