// The commands that take things away from the program: printing the scene,
// pictures, the video, the copy of the project's files and the report file.
#pragma once

#include <functional>

class QPrinter;

namespace quillmere {

class CMainFrame;
struct CommandState;

// The program's printer: what Print setup chose holds for every print.
QPrinter& ThePrinter();

// Runs print on printer. When the printer prints into a file, the file is
// written aside and replaces the one of its name only once it is complete;
// a failure to write it is shown. print returns false when it has shown a
// failure of its own.
void PrintIntoFile(QPrinter& printer, const std::function<bool()>& print);

class CExportCommands {
public:
    explicit CExportCommands(CMainFrame& frame);

private:
    // Print, Print directly and Print setup.
    void DefinePrintCommands();
    // Save to bitmap, the video and the 3D model.
    void DefinePictureCommands();
    // The web page, the project's files and the report file.
    void DefineSharingCommands();
    // Enabled with an active 3D view; with one whose animation is not running.
    CommandState ViewState() const;
    CommandState IdleViewState() const;

    void Print(bool askPrinter);
    void PrintSetup();

    CMainFrame& frame;
};

} // namespace quillmere
