// The main of every unit test: keeps the tests away from the user's own
// configuration, offers them the build's own German locale, and writes what
// nobody records to stderr, as the batch tool does.
#include "messages/MessageText.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace quillmere;

int main(int argc, char** argv) {
    ::setenv("XDG_CONFIG_HOME", QUILLMERE_TEST_CONFIG_HOME, 1);
    ::setenv("LOCPATH", QUILLMERE_TEST_LOCPATH, 1);
    ::setenv("LC_ALL", "C", 1);
    CStderrMessageSink messages;
    const CScopedMessageSink scoped(&messages);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
