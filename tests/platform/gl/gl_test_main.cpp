// The OpenGL tests need a window system: under an X server (xvfb-run in CI) they run on its
// OpenGL; without a display they are skipped.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <memory>

#include "gl_test_support.h"

namespace velmo::testing {
bool g_haveDisplay = false;
}

namespace {

// Mesa's driver is unloaded when the display closes at exit; what it still holds then looks
// leaked to LeakSanitizer (as frames of an unknown module). Keeping the driver loaded keeps
// those allocations reachable, so the sanitizer build reports only our own leaks.
void KeepOpenGLDriversLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "_dri.so"))
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> app;
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && !::testing::GTEST_FLAG(list_tests)) {
        qputenv("QT_QPA_PLATFORM", "xcb");  // a real window: the offscreen one shows nothing
        app = std::make_unique<QGuiApplication>(argc, argv);
        velmo::testing::g_haveDisplay = true;
    }
    const int result = RUN_ALL_TESTS();
    KeepOpenGLDriversLoaded();
    return result;
}
