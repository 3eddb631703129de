// The texts of the messages the libraries say, and the sinks that show texts:
// the edge where a Message becomes words. The programs, the windows and the
// tests link it; the libraries below them only say Messages (core/Messages.h).
#pragma once

#include "core/Messages.h"

#include <exception>
#include <string>

namespace quillmere {

// The text of id as a printf format, with one conversion per argument in
// order: a number's where the argument is a number, %s for a text or a
// message of its own.
const char* MessageFormat(MessageId id);

// The text of a message, numbers in the "C" locale. The format is always the
// table's; an argument is only ever a value, never a format.
std::string MessageText(const Message& message);

// What went wrong in the user's terms (FailureMessage), as a text.
std::string FailureText(const std::exception& error);

// Shows a text the program or a window composed itself.
MessageAnswer ShowMessage(const std::string& text, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);

// A sink that shows texts: the libraries' messages are composed first.
class CTextMessageSink : public IMessageSink {
public:
    MessageAnswer Show(const Message& message, MessageIcon icon, MessageButtons buttons) override;
    MessageAnswer ShowCaptioned(const Message& caption, const Message& message, MessageIcon icon,
                                MessageButtons buttons) override;
    // A text under a caption of its own; sinks that show no captions show
    // the text alone.
    virtual MessageAnswer ShowCaptionedText(const std::string& caption, const std::string& text,
                                            MessageIcon icon, MessageButtons buttons);
};

// Writes every message to stderr; questions are answered No, since nobody can
// be asked.
class CStderrMessageSink : public CTextMessageSink {
public:
    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
};

} // namespace quillmere
