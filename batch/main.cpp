// quillmere-batch: reports of solved projects without a display.
#include "batch/BatchTool.h"
#include "config/CConfiguration.h"
#include "messages/MessageText.h"

#include <clocale>
#include <iostream>
#include <unistd.h>

using namespace quillmere;

namespace {

std::string ProgramFolder() {
    char buffer[4096];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return ".";
    std::string path(buffer, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/'));
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    CStderrMessageSink messages;
    const CScopedMessageSink scoped(&messages);
    return RunBatch(arguments, CConfiguration::DefaultFilePath(ProgramFolder()), std::cout);
}
