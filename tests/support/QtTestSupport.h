// Helpers of the window tests that need Qt (TestSupport.h stays Qt-free).
#pragma once

#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QString>
#include <QWidget>
#include <QtTest>

#include <clocale>

using namespace quillmere;

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

// The main of a window test program, numbers in the C locale; prepare runs
// before the application is made (the scene's OpenGL set-up).
template <class Test> int RunWindowTest(int argc, char** argv, void (*prepare)() = nullptr) {
    if (prepare)
        prepare();
    QApplication application(argc, argv);
    qAddPostRoutine(KeepLoadedLibraries);
    std::setlocale(LC_NUMERIC, "C");
    CStderrMessageSink messages; // what no test records
    const CScopedMessageSink scoped(&messages);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
