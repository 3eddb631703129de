// The window area of the main window, its empty parts painted with the
// program's background picture stretched over the whole area.
#pragma once

#include <QImage>
#include <QMdiArea>

class CClientArea : public QMdiArea {
    Q_OBJECT

public:
    explicit CClientArea(QWidget* parent = nullptr);

    // The background picture, 1770 x 860 pixels, drawn by the program.
    static QImage BackgroundImage();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage background;
};
