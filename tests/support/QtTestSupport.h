// Helpers of the window tests that need Qt (TestSupport.h stays Qt-free).
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

// With QUILLMERE_SCREENSHOTS=FOLDER, keeps a picture of the widget (or of an
// image the test made) as FOLDER/NAME.png for a person to look at.
inline void KeepPicture(const QImage& picture, const QString& name) {
    const QString folder = qEnvironmentVariable("QUILLMERE_SCREENSHOTS");
    if (!folder.isEmpty())
        picture.save(folder + "/" + name + ".png");
}

inline void KeepPicture(QWidget& widget, const QString& name) {
    if (qEnvironmentVariableIsSet("QUILLMERE_SCREENSHOTS"))
        KeepPicture(widget.grab().toImage(), name);
}
