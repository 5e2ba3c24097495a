// Test main of the portable build (no Qt): the suites of the layers below
// the screens, as the Windows build runs them.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
