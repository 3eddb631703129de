#include "app/QtInterface.h"

#include "model/Texts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>
#include <chrono>
#include <memory>

namespace quillmere {

void CQtInterfaceThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

void CQtInterfaceThread::WaitProcessing(CManualResetEvent& event) {
    while (!event.IsSet()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        event.WaitFor(std::chrono::milliseconds(5));
    }
}

namespace {

// The box of a message: its caption, icon and buttons, and the text as typed
// (a path that looks like markup is not read as markup).
std::unique_ptr<QMessageBox> MakeMessageBox(const std::string& caption, const std::string& text,
                                            MessageIcon icon, MessageButtons buttons) {
    auto box = std::make_unique<QMessageBox>();
    box->setWindowTitle(QString::fromStdString(caption));
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box->setIcon(QMessageBox::Question);
        break;
    case MessageIcon::None:
        break;
    }
    if (buttons == MessageButtons::YesNo)
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else if (buttons == MessageButtons::YesNoCancel)
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return box;
}

} // namespace

MessageAnswer CMessageBoxSink::ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return ShowCaptionedText("Quillmere", text, icon, buttons);
}

MessageAnswer CMessageBoxSink::ShowCaptionedText(const std::string& caption, const std::string& text,
                                                 MessageIcon icon, MessageButtons buttons) {
    if (QThread::currentThread() != qApp->thread()) {
        MessageAnswer answer = MessageAnswer::Ok;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = ShowCaptionedText(caption, text, icon, buttons); },
            Qt::BlockingQueuedConnection);
        return answer;
    }
    switch (MakeMessageBox(caption, text, icon, buttons)->exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

CStatusProgress::CStatusProgress(QStatusBar* statusBar) : bar(statusBar), progress(nullptr) {
    // A pane 150 pixels wide that holds the progress bar while a file loads.
    auto* pane = new QWidget(bar);
    pane->setFixedWidth(150);
    auto* layout = new QHBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    progress = new QProgressBar(pane);
    progress->setTextVisible(false);
    progress->hide();
    layout->addWidget(progress);
    bar->addPermanentWidget(pane);
}

void CStatusProgress::SetRange(int low, int high) {
    progress->setRange(low, high);
    progress->show();
    shown.invalidate();
}

void CStatusProgress::SetPosition(int position) {
    progress->setValue(position);
    // A pass of the event loop costs milliseconds, as much as reading a
    // percent of a large record: the bar is painted about 40 times a second,
    // from the first position of each load on.
    constexpr qint64 PaintInterval = 25;
    if (shown.isValid() && !shown.hasExpired(PaintInterval))
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    shown.start();
}

void CStatusProgress::SetStatusText(const std::string& text) {
    bar->showMessage(QString::fromStdString(text));
    // Back to the ready text: the load is over.
    if (text == texts::Ready) {
        progress->setValue(progress->minimum());
        progress->hide();
    }
}

} // namespace quillmere
