#include <gtest/gtest.h>

#include "web/engine/WebEngineStart.h"
#include "widgets/Application.h"

// The engine needs a real display (the test runs under Xvfb with the xcb
// platform); listing the tests needs none.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    prepareWebEngine();
    Application app(argc, argv);
    return RUN_ALL_TESTS();
}
