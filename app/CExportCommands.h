// The commands that take things away from the program: printing the scene,
// pictures, the video, the copy of the project's files and the report file.
#pragma once

class CMainFrame;
class QPrinter;

// The program's printer: what Print setup chose holds for every print.
QPrinter& ThePrinter();

class CExportCommands {
public:
    explicit CExportCommands(CMainFrame& frame);

private:
    void Print(bool askPrinter);
    void PrintSetup();

    CMainFrame& frame;
};
