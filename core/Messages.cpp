#include "core/Messages.h"

#include "core/TextFormat.h"

#include <atomic>
#include <cstdio>
#include <new>
#include <stdexcept>

namespace quillmere {

namespace {

CStderrMessageSink stderrSink;
std::atomic<IMessageSink*> currentSink{&stderrSink};

} // namespace

MessageAnswer CStderrMessageSink::Show(const std::string& text, MessageIcon, MessageButtons buttons) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

IMessageSink& CurrentMessageSink() {
    return *currentSink.load();
}

void SetMessageSink(IMessageSink* sink) {
    currentSink.store(sink ? sink : &stderrSink);
}

MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return CurrentMessageSink().Show(text, icon, buttons);
}

MessageAnswer ShowCaptionedMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                                   MessageButtons buttons) {
    return CurrentMessageSink().ShowCaptioned(caption, text, icon, buttons);
}

CScopedMessageSink::CScopedMessageSink(IMessageSink* sink) : previous(currentSink.load()) {
    SetMessageSink(sink);
}

CScopedMessageSink::~CScopedMessageSink() {
    SetMessageSink(previous);
}

void ReportCriticalError(const std::string& text) {
    ShowMessage(FormatText("Critical error: %s", text.c_str()), MessageIcon::Error);
    throw CCriticalError(text);
}

std::string FailureText(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error) || dynamic_cast<const std::length_error*>(&error))
        return "there is not enough memory";
    if (dynamic_cast<const std::logic_error*>(&error))
        return "the program failed inside";
    return error.what();
}

} // namespace quillmere
