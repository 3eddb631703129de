// The main of every unit test: keeps the tests away from the user's own
// configuration and offers them the build's own German locale.
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::setenv("XDG_CONFIG_HOME", QUILLMERE_TEST_CONFIG_HOME, 1);
    ::setenv("LOCPATH", QUILLMERE_TEST_LOCPATH, 1);
    ::setenv("LC_ALL", "C", 1);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
