// The file commands of the main window: open, close, recent files, close all,
// document information, about and exit.
#pragma once

namespace quillmere {

class CMainFrame;

class CFileCommands {
public:
    explicit CFileCommands(CMainFrame& frame);

private:
    void Open();
    void ShowDocumentInformation();
    void About();

    CMainFrame& frame;
};

} // namespace quillmere
