#include "app/QtInterface.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>
#include <chrono>

void CQtInterfaceThread::Post(std::function<void()> task) {
    QMetaObject::invokeMethod(qApp, std::move(task), Qt::QueuedConnection);
}

void CQtInterfaceThread::WaitProcessing(CManualResetEvent& event) {
    while (!event.IsSet()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        event.WaitFor(std::chrono::milliseconds(5));
    }
}

void CQtInterfaceThread::DispatchPending() {
    QCoreApplication::processEvents();
}

MessageAnswer CMessageBoxSink::Show(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    if (QThread::currentThread() != qApp->thread()) {
        MessageAnswer answer = MessageAnswer::Ok;
        QMetaObject::invokeMethod(
            qApp, [&] { answer = Show(text, icon, buttons); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    QMessageBox box;
    box.setWindowTitle(QStringLiteral("Quillmere"));
    box.setText(QString::fromStdString(text));
    switch (icon) {
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::None:
        break;
    }
    if (buttons == MessageButtons::YesNo)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else if (buttons == MessageButtons::YesNoCancel)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    switch (box.exec()) {
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

CStatusProgress::CStatusProgress(QStatusBar* statusBar)
    : bar(statusBar), progress(new QProgressBar(statusBar)) {
    progress->setMaximumWidth(200);
    progress->setTextVisible(false);
    bar->addPermanentWidget(progress);
}

void CStatusProgress::SetRange(int low, int high) {
    progress->setRange(low, high);
}

void CStatusProgress::SetPosition(int position) {
    progress->setValue(position);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CStatusProgress::SetStatusText(const std::string& text) {
    bar->showMessage(QString::fromStdString(text));
}
