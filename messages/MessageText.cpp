#include "messages/MessageText.h"

#include "core/TextFormat.h"

#include <cstdio>
#include <cstring>

namespace quillmere {

namespace {

// The text of one argument under one printf conversion of the table's
// format (flags, width and precision kept, the length modifier dropped):
// the conversion is rebuilt for the argument's own type, so a number never
// goes through a conversion of another size.
std::string Converted(const std::string& flags, char conversion, const MessageArgument& argument) {
    using Kind = MessageArgument::Kind;
    if (std::strchr("diuxXo", conversion)) {
        const std::string format = "%" + flags + "ll" + conversion;
        const long long value = argument.ArgumentKind() == Kind::Real
                                    ? static_cast<long long>(argument.Real())
                                    : argument.Integer();
        if (conversion == 'd' || conversion == 'i')
            return FormatText(format.c_str(), value);
        return FormatText(format.c_str(), static_cast<unsigned long long>(value));
    }
    if (std::strchr("fFeEgGaA", conversion)) {
        const std::string format = "%" + flags + conversion;
        const double value = argument.ArgumentKind() == Kind::Integer
                                 ? static_cast<double>(argument.Integer())
                                 : argument.Real();
        return FormatText(format.c_str(), value);
    }
    const std::string format = "%" + flags + "s";
    switch (argument.ArgumentKind()) {
    case Kind::Text:
        return FormatText(format.c_str(), argument.Text().c_str());
    case Kind::Nested:
        return FormatText(format.c_str(), MessageText(argument.Nested()).c_str());
    case Kind::Integer:
        return FormatText("%lld", argument.Integer());
    case Kind::Real:
        return FormatText("%g", argument.Real());
    }
    return std::string();
}

} // namespace

std::string MessageText(const Message& message) {
    const char* format = MessageFormat(message.Id());
    const std::vector<MessageArgument>& arguments = message.Arguments();
    std::string text;
    size_t next = 0;
    for (const char* at = format; *at;) {
        if (*at != '%') {
            const char* const percent = std::strchr(at, '%');
            const size_t length = percent ? static_cast<size_t>(percent - at) : std::strlen(at);
            text.append(at, length);
            at += length;
            continue;
        }
        ++at;
        if (*at == '%') {
            text += '%';
            ++at;
            continue;
        }
        std::string flags;
        while (*at && std::strchr("-+ #0123456789.", *at))
            flags += *at++;
        while (*at && std::strchr("hlLqjzt", *at))
            ++at;
        if (!*at)
            break;
        const char conversion = *at++;
        // A missing argument leaves its place empty.
        if (next < arguments.size())
            text += Converted(flags, conversion, arguments[next++]);
    }
    return text;
}

std::string FailureText(const std::exception& error) {
    return MessageText(FailureMessage(error));
}

MessageAnswer ShowMessage(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return CurrentMessageSink().ShowText(text, icon, buttons);
}

MessageAnswer CTextMessageSink::Show(const Message& message, MessageIcon icon, MessageButtons buttons) {
    return ShowText(MessageText(message), icon, buttons);
}

MessageAnswer CTextMessageSink::ShowCaptioned(const Message& caption, const Message& message,
                                              MessageIcon icon, MessageButtons buttons) {
    return ShowCaptionedText(MessageText(caption), MessageText(message), icon, buttons);
}

MessageAnswer CTextMessageSink::ShowCaptionedText(const std::string& caption, const std::string& text,
                                                  MessageIcon icon, MessageButtons buttons) {
    (void)caption;
    return ShowText(text, icon, buttons);
}

MessageAnswer CStderrMessageSink::ShowText(const std::string& text, MessageIcon, MessageButtons buttons) {
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

} // namespace quillmere
