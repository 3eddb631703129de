// The status texts of the project model, exactly as the program shows them.
// Formats are printf formats; file content only ever fills a %s. What the
// model tells the user in a message is a Message (core/Messages.h).
#pragma once

namespace quillmere {

namespace texts {

constexpr const char* ParsingFile = "Parsing %s.";
constexpr const char* LoadingFile = "Loading %s.";
constexpr const char* Ready = "Application is ready to operate.";

} // namespace texts

} // namespace quillmere
