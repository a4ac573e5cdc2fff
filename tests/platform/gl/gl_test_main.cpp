// The OpenGL tests need a window system: under an X server (xvfb-run in CI) they run on its
// OpenGL; without a display they are skipped.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

#include "gl_test_support.h"

namespace velmo::testing {
bool g_haveDisplay = false;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> app;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && !::testing::GTEST_FLAG(list_tests)) {
        qputenv("QT_QPA_PLATFORM", "xcb");  // a real window: the offscreen one shows nothing
        app = std::make_unique<QGuiApplication>(argc, argv);
        velmo::testing::g_haveDisplay = true;
    }
    return RUN_ALL_TESTS();
}
