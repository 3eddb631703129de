#include "render/PrintedFile.h"

#include "core/AtomicFile.h"
#include "core/FilePaths.h"
#include "core/TextLines.h"

#include <QPrinter>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillmere {

namespace {

std::string Reason() {
    return errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
}

// A PDF ends in its end-of-file marker; one cut short by a full disk does
// not.
bool IsCompletePdf(const std::string& content) {
    const size_t end = content.find_last_not_of(" \t\r\n");
    const std::string marker = "%%EOF";
    return StartsWith(content, "%PDF-") && end != std::string::npos && end + 1 >= marker.size() &&
           content.compare(end + 1 - marker.size(), marker.size(), marker) == 0;
}

} // namespace

CPrintedFile::CPrintedFile(QPrinter& printer_) : printer(printer_) {
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return;
    target = printer.outputFileName().toStdString();
    const std::string beside = FolderPart(target);
    std::string name =
        (beside.empty() ? std::string() : beside + "/") + "." + FileNamePart(target) + ".XXXXXX";
    errno = 0;
    if (!::mkdtemp(&name[0])) {
        error = "cannot create a folder beside " + target + Reason();
        return;
    }
    folder = name;
    printer.setOutputFileName(QString::fromStdString(folder + "/page.pdf"));
}

CPrintedFile::~CPrintedFile() {
    if (target.empty())
        return;
    printer.setOutputFileName(QString::fromStdString(target));
    if (!folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
}

bool CPrintedFile::Commit() {
    if (target.empty() || !error.empty())
        return error.empty();
    std::ifstream file(folder + "/page.pdf", std::ios::binary);
    std::stringstream content;
    if (!file || !(content << file.rdbuf()) || !IsCompletePdf(content.str())) {
        error = "the page could not be written completely";
        return false;
    }
    errno = 0;
    if (!ReplaceFileContent(target, folder + "/." + FileNamePart(target) + ".XXXXXX", content.str())) {
        error = "cannot write " + target + Reason();
        return false;
    }
    return true;
}

} // namespace quillmere
