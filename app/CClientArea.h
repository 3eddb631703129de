// The window area of the main window, its empty parts painted with the
// program's background picture stretched over the whole area.
#pragma once

#include <QImage>
#include <QList>
#include <QMdiArea>

class QAction;
class QMenu;

namespace quillmere {

class CClientArea : public QMdiArea {
    Q_OBJECT

public:
    explicit CClientArea(QWidget* parent = nullptr);

    // The background picture, 1770 x 860 pixels, drawn by the program.
    static QImage BackgroundImage();

    // Tile and Cascade arrange the open windows inside the area as it is,
    // so the main window keeps its size however many windows there are.
    // Tile: side by side in rows, as many rows as columns or one fewer.
    void Tile();
    // Cascade: stepped down and right by a title bar, each as large as the
    // steps allow but never below two thirds of the area, so that every
    // view stays usable.
    void Cascade();
    // Where a new window goes when it is not maximised: as large as a
    // cascaded window at the least, a step right of and below the active
    // window, back at the top left when it would leave the area.
    QRect NewWindowPlace();
    // Puts the open windows at the end of a menu, after the action `after`,
    // in place of those put there before: numbered, the active one checked;
    // choosing one activates it.
    void ListWindows(QMenu& menu, QAction* after);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The windows that take part, bottom first, none of them maximised.
    QList<QMdiSubWindow*> Arranged();
    // The step of cascaded windows: a title bar and a little more.
    int Step();

    QImage background;
};

} // namespace quillmere
