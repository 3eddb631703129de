// The one way every reader and window talks to the user: a message with an
// icon and buttons, and a progress indicator with a status text.
#pragma once

#include <stdexcept>
#include <string>

namespace quillmere {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Shows a message and returns the user's answer. The windows show a message
// box, the batch tool writes to stderr, the tests record what was said.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    virtual MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
    // A message under a caption of its own instead of the program's name;
    // sinks that show no captions show the text alone.
    virtual MessageAnswer ShowCaptioned(const std::string& caption, const std::string& text, MessageIcon icon,
                                        MessageButtons buttons) {
        (void)caption;
        return Show(text, icon, buttons);
    }
};

// The status-bar progress of the main frame, or whatever stands in for it.
class IProgressSink {
public:
    virtual ~IProgressSink() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
};

// Writes every message to stderr; questions are answered No, since nobody can
// be asked.
class CStderrMessageSink : public IMessageSink {
public:
    MessageAnswer Show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
};

// The process-wide sink; a CStderrMessageSink until somebody installs another.
IMessageSink& CurrentMessageSink();
void SetMessageSink(IMessageSink* sink); // null restores the stderr sink

MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);
MessageAnswer ShowCaptionedMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                   MessageButtons buttons = MessageButtons::Ok);

// Installs a sink for the lifetime of the object and restores the previous one.
class CScopedMessageSink {
public:
    explicit CScopedMessageSink(IMessageSink* sink);
    ~CScopedMessageSink();
    CScopedMessageSink(const CScopedMessageSink&) = delete;
    CScopedMessageSink& operator=(const CScopedMessageSink&) = delete;

private:
    IMessageSink* previous;
};

// An error after which the work in hand cannot go on. The libraries throw it;
// the programs catch it and end with their own exit status.
class CCriticalError : public std::runtime_error {
public:
    explicit CCriticalError(const std::string& text) : std::runtime_error(text) {}
};

// What went wrong, in the user's words: the standard library's own texts
// name its functions ("std::bad_alloc", "vector::_M_realloc_insert").
std::string FailureText(const std::exception& error);

// Shows "Critical error: %s" with the text, then throws CCriticalError
// carrying the text.
[[noreturn]] void ReportCriticalError(const std::string& text);

} // namespace quillmere
