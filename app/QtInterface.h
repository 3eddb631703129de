// The Qt side of the document's needs: the interface thread, message boxes
// and the status-bar progress.
#pragma once

#include "core/Messages.h"
#include "messages/MessageText.h"
#include "model/CDocument.h"

#include <QElapsedTimer>
#include <QObject>

class QProgressBar;
class QStatusBar;

namespace quillmere {

// Posts work to the Qt event loop and waits while it keeps running.
class CQtInterfaceThread : public IInterfaceThread {
public:
    void Post(std::function<void()> task) override;
    void WaitProcessing(CManualResetEvent& event) override;
};

// Message boxes, captioned with the program's name unless the message has a
// caption of its own; a message from another thread is shown on the
// interface thread while that thread waits for the answer.
class CMessageBoxSink : public CTextMessageSink {
public:
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowCaptionedText(const std::string& caption, const std::string& text, MessageIcon icon,
                                    MessageButtons buttons) override;
};

// The progress bar and text of a status bar.
class CStatusProgress : public IProgressSink {
public:
    explicit CStatusProgress(QStatusBar* statusBar);
    void SetRange(int low, int high) override;
    void SetPosition(int position) override;
    void SetStatusText(const std::string& text) override;

private:
    QStatusBar* bar;
    QProgressBar* progress;
    QElapsedTimer shown; // since the bar was last painted; invalid at the start of a load
};

} // namespace quillmere
