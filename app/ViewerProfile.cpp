#include "app/ViewerProfile.h"

#include "app/CCommandTable.h"
#include "app/CommandIds.h"
#include "app/WindowPlacement.h"

#include "core/TextFormat.h"

#include <QAction>
#include <QMainWindow>
#include <QSettings>
#include <QUrl>

#include <cmath>

namespace quillmere {

namespace {

QSettings Profile() {
    return QSettings(QStringLiteral("Veltrane"), QStringLiteral("Quillmere"));
}

// The profile's group of a project file: its path without the separators
// the store reads as groups.
QString ProjectGroup(const QString& projectPath) {
    return QStringLiteral("Minimum wall/") + QString::fromLatin1(QUrl::toPercentEncoding(projectPath));
}

} // namespace

QStringList CRecentFiles::Files() const {
    QSettings profile = Profile();
    QStringList recent;
    for (int k = 1; k <= Count; ++k) {
        const QString file = profile.value(QStringLiteral("Recent File List/File%1").arg(k)).toString();
        if (!file.isEmpty())
            recent << file;
    }
    return recent;
}

void CRecentFiles::Add(const QString& path) {
    QStringList recent = Files();
    recent.removeAll(path);
    recent.prepend(path);
    QSettings profile = Profile();
    for (int k = 1; k <= Count; ++k)
        profile.setValue(QStringLiteral("Recent File List/File%1").arg(k),
                         k <= recent.size() ? recent[k - 1] : QString());
    UpdateMenu();
}

void CRecentFiles::UpdateMenu() {
    const QStringList recent = Files();
    for (int k = 0; k < Count; ++k) {
        QAction* action = commands.Action(command::RecentFirst + k);
        if (!action)
            continue;
        action->setVisible(k < recent.size() || k == 0);
        action->setEnabled(k < recent.size());
        action->setText(k < recent.size() ? QStringLiteral("&%1 %2").arg(k + 1).arg(recent[k])
                                          : QStringLiteral("Recent file"));
    }
}

RememberedWall RememberedMinimumWall(const QString& projectPath) {
    QSettings profile = Profile();
    profile.beginGroup(ProjectGroup(projectPath));
    RememberedWall remembered;
    // The wall is written in the C locale, whatever the user's is.
    double wall = 0;
    if (ParseWholeNumber(profile.value(QStringLiteral("Wall")).toString().toStdString().c_str(), wall) &&
        std::isfinite(wall) && wall > 0) {
        remembered.wall = wall;
        remembered.shown = profile.value(QStringLiteral("Shown")).toString() == QLatin1String("1");
    }
    return remembered;
}

void RememberMinimumWall(const QString& projectPath, const RememberedWall& wall) {
    QSettings profile = Profile();
    profile.beginGroup(ProjectGroup(projectPath));
    profile.setValue(QStringLiteral("Wall"), QString::fromStdString(FormatText("%.17g", wall.wall)));
    profile.setValue(QStringLiteral("Shown"),
                     wall.shown && wall.wall > 0 ? QStringLiteral("1") : QStringLiteral("0"));
}

void SaveWindowPlacement(const QMainWindow& window) {
    WindowPlacement placement;
    const bool maximised = window.isMaximized();
    placement.flags = maximised ? kPlacementMaximised : 0;
    placement.showCommand = maximised ? kShowMaximised : window.isMinimized() ? kShowMinimised : kShowNormal;
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    placement.left = normal.left();
    placement.top = normal.top();
    placement.right = normal.left() + normal.width();
    placement.bottom = normal.top() + normal.height();
    QSettings profile = Profile();
    profile.setValue(QStringLiteral("Settings/WindowPos"),
                     QString::fromStdString(FormatWindowPlacement(placement)));
    profile.setValue(QStringLiteral("Settings/MyDockState"), window.saveState());
}

void RestoreWindowPlacement(QMainWindow& window) {
    QSettings profile = Profile();
    WindowPlacement placement;
    if (!ParseWindowPlacement(profile.value(QStringLiteral("Settings/WindowPos")).toString().toStdString(),
                              placement))
        return;
    window.setGeometry(placement.left, placement.top, placement.right - placement.left,
                       placement.bottom - placement.top);
}

} // namespace quillmere
