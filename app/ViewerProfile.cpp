#include "app/ViewerProfile.h"

#include "app/CCommandTable.h"
#include "app/CommandIds.h"
#include "app/WindowPlacement.h"

#include <QAction>
#include <QMainWindow>
#include <QSettings>

namespace quillmere {

namespace {

QSettings Profile() {
    return QSettings(QStringLiteral("Veltrane"), QStringLiteral("Quillmere"));
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
