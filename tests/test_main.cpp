#include <QByteArray>

#include <gtest/gtest.h>

#include "widgets/Application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Widget tests need no display: windows and boxes live off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The program started by some tests carries the web engine, which refuses
    // to run as root inside its sandbox.
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    Application app(argc, argv);
    return RUN_ALL_TESTS();
}
