// GoogleTest main for the desktop program's windows: a QApplication on the
// offscreen platform, driven with QtTest's events.

#include <gtest/gtest.h>

#include <QApplication>

#include "image/headless_qt.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    velmora::prepareHeadlessQt();
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
