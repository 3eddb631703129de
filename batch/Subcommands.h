// The commands of quillmere-batch as CLI11 knows them: their arguments and
// options, the checks of each and the help texts, all in one file because
// CLI11's header costs every file that reads it seconds of compiling.
#pragma once

namespace CLI {
class App;
}

namespace quillmere {

struct BatchArguments;
struct OptionTexts;

// The raw texts of the options go into texts, the rest into parsed.
void DescribeCommands(CLI::App& app, BatchArguments& parsed, OptionTexts& texts);

} // namespace quillmere
