// GoogleTest main for suites that draw text or load Qt's image plugins:
// they need a QGuiApplication, here on the offscreen platform.

#include <gtest/gtest.h>

#include <QGuiApplication>

#include "image/headless_qt.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    velmora::prepareHeadlessQt();
    QGuiApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
