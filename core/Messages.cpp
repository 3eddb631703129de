#include "core/Messages.h"

#include <atomic>
#include <new>
#include <stdexcept>

namespace quillmere {

namespace {

// Nobody to tell: what a process says before it installs a sink of its own.
class CSilentMessageSink : public IMessageSink {
public:
    MessageAnswer Show(const Message&, MessageIcon, MessageButtons buttons) override {
        return Answer(buttons);
    }
    MessageAnswer ShowText(const std::string&, MessageIcon, MessageButtons buttons) override {
        return Answer(buttons);
    }

private:
    static MessageAnswer Answer(MessageButtons buttons) {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
};

CSilentMessageSink silentSink;
std::atomic<IMessageSink*> currentSink{&silentSink};

} // namespace

IMessageSink& CurrentMessageSink() {
    return *currentSink.load();
}

void SetMessageSink(IMessageSink* sink) {
    currentSink.store(sink ? sink : &silentSink);
}

MessageAnswer ShowMessage(const Message& message, MessageIcon icon, MessageButtons buttons) {
    return CurrentMessageSink().Show(message, icon, buttons);
}

MessageAnswer ShowCaptionedMessage(const Message& caption, const Message& message, MessageIcon icon,
                                   MessageButtons buttons) {
    return CurrentMessageSink().ShowCaptioned(caption, message, icon, buttons);
}

CScopedMessageSink::CScopedMessageSink(IMessageSink* sink) : previous(currentSink.load()) {
    SetMessageSink(sink);
}

CScopedMessageSink::~CScopedMessageSink() {
    SetMessageSink(previous);
}

void ReportCriticalError(const Message& why) {
    ShowMessage(Message(MessageId::CriticalError, why), MessageIcon::Error);
    throw CCriticalError(why);
}

Message FailureMessage(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error))
        return MessageId::OutOfMemory;
    if (dynamic_cast<const std::logic_error*>(&error))
        return MessageId::FailedInside;
    return Message(MessageId::FailureDetail, error.what());
}

} // namespace quillmere
