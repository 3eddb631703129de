#include "messages/MessageText.h"
#include "tests/support/TestSupport.h"

#include <clocale>
#include <regex>

using namespace quillmere;

namespace {

// A message of id with a sample for each conversion of its text: a text
// where it takes one, a number where it takes a number.
Message WithSamples(MessageId id) {
    std::vector<MessageArgument> samples;
    const std::string format = MessageFormat(id);
    for (size_t at = format.find('%'); at != std::string::npos; at = format.find('%', at + 1)) {
        const size_t conversion = format.find_first_of("sdfgu", at + 1);
        if (conversion == std::string::npos)
            break;
        const char kind = format[conversion];
        samples.push_back(kind == 's'                  ? MessageArgument("X")
                          : kind == 'f' || kind == 'g' ? MessageArgument(2.5)
                                                       : 7);
        at = conversion;
    }
    return Message(id, std::move(samples));
}

} // namespace

// Every id has its text, and no text shows a name of the code: no
// identifier joined by a dot, an underscore or "::", no camel case.
TEST(Messages, EveryIdHasATextInTheUsersWords) {
    const std::regex codeName(R"(\b[a-z][a-z0-9]*\.[a-z]|[A-Za-z0-9]_[A-Za-z0-9]|::|\b[a-z]+[A-Z])");
    for (int i = static_cast<int>(MessageId::None) + 1; i < static_cast<int>(MessageId::Count); ++i) {
        const MessageId id = static_cast<MessageId>(i);
        const std::string text = MessageText(WithSamples(id));
        EXPECT_FALSE(text.empty()) << "message " << i;
        EXPECT_FALSE(std::regex_search(text, codeName)) << "message " << i << ": " << text;
    }
}

// An argument is a value, never a format: a path full of conversions is
// shown as it stands. A reason inside a message is composed in its place,
// its numbers in the "C" locale whatever the user's, and a count of the
// tool's sections is not cut to the size of an int.
TEST(Messages, ArgumentsAreValuesInTheCLocale) {
    EXPECT_EQ(MessageText(Message(MessageId::UnableToReadFrom, "%s%n%d.tfc")),
              "Unable to read from the %s%n%d.tfc file.");
    const char* previous = std::setlocale(LC_ALL, "de_DE.UTF-8");
    if (!previous)
        GTEST_SKIP() << "no German locale installed";
    const std::string refused = MessageText(
        Message(MessageId::UnusableRecord, "cup.001", Message(MessageId::RecordBeyondMemory, 3, 4, 1.5)));
    const std::string tool = MessageText(
        Message(MessageId::TooManySections, "t.tol", 5000000000ul, static_cast<unsigned long>(10)));
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(refused,
              "The record file cup.001 cannot be used: its 3 elements and 4 nodes need 1.5 GB of memory, "
              "more than this computer has");
    EXPECT_EQ(tool,
              "The tool file t.tol holds 5000000000 sections, more than the 10 a tool may have; it is not "
              "read.");
}
