// GoogleTest main for suites that draw text or load Qt's image plugins:
// they need a QGuiApplication, here on the offscreen platform.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
        // Qt wants a private runtime folder and warns on every start without one.
        const std::string runtime = "/tmp/velmora-runtime-" + std::to_string(getuid());
        mkdir(runtime.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
