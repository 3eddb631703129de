// A printer that prints into a PDF file writes the file in a folder of its
// own, made beside it and open to its owner only; the file then replaces the
// one of its name through CAtomicFile, and only once the page is complete.
// A link planted at the name is not written through, and a disk that fills
// leaves the old file as it was. A printer that prints on paper is left
// alone.
#pragma once

#include <string>

class QPrinter;

namespace quillmere {

class CPrintedFile {
public:
    // Sends the printer's file, if it prints into one, to the folder.
    explicit CPrintedFile(QPrinter& printer);
    // Gives the printer its file name back; the folder goes.
    ~CPrintedFile();
    CPrintedFile(const CPrintedFile&) = delete;
    CPrintedFile& operator=(const CPrintedFile&) = delete;

    // False, with Error(), when the folder cannot be made.
    bool Ready() const { return error.empty(); }
    // After printing: the complete file takes its name. False, with
    // Error(), when the page is not complete or cannot be written; true at
    // once for a printer that prints on paper.
    bool Commit();
    const std::string& Error() const { return error; }

private:
    QPrinter& printer;
    std::string target, folder, error;
};

} // namespace quillmere
