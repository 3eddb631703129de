// What the program keeps in the user's profile: the recent files, shown in
// the File menu, and the main window's placement.
#pragma once

#include <QStringList>

class QMainWindow;

namespace quillmere {

class CCommandTable;

class CRecentFiles {
public:
    // The files the File menu lists at most.
    static constexpr int Count = 4;

    // The File menu's entries are commands of this table.
    explicit CRecentFiles(CCommandTable& table) : commands(table) {}

    // The files last opened, the last first.
    QStringList Files() const;
    // path was opened: it goes first.
    void Add(const QString& path);
    // The File menu's entries show the files.
    void UpdateMenu();

private:
    CCommandTable& commands;
};

// The minimum wall last set in a view of a project, kept per project file:
// whether it is on, and the wall in metres (the last one typed, 0 for none).
struct RememberedWall {
    bool shown = false;
    double wall = 0;
};
RememberedWall RememberedMinimumWall(const QString& projectPath);
void RememberMinimumWall(const QString& projectPath, const RememberedWall& wall);

// The window's normal rectangle, whether it is maximised, and its bars.
void SaveWindowPlacement(const QMainWindow& window);
// The rectangle saved, always shown normal; nothing when none was saved.
void RestoreWindowPlacement(QMainWindow& window);

} // namespace quillmere
