// The one way every reader and window talks to the user: a message with an
// icon and buttons, and a progress indicator with a status text.
//
// The libraries say what they have to say as a Message, an id with its
// arguments, and never compose its text: the texts and their composition
// live at the edge (messages/), where the programs and the windows turn a
// Message into words.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace quillmere {

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Yes, No, Cancel };

// What the libraries tell the user. The comment gives the arguments in the
// order of the text; "why" is a message of its own (a reason).
enum class MessageId {
    None, // nothing to say

    // Whatever the library: why something failed.
    CriticalError, // why
    OutOfMemory,
    FailedInside,
    FailureDetail, // a library's own text of a failure (an exception's)
    FileCannotOpen,
    FileCannotRead,

    // Lists inside a message.
    Name,     // a name as it stands: an item of a list
    ListNext, // the list so far, the next item: "a, b"
    ListLast, // the list so far, the last item: "a and b"
    AndMore,  // the list, how many more
    Range,    // first, last: "a to b"

    // Project, record and tool files.
    CannotParseFile,      // path
    UnableToReadFrom,     // path
    UnableToReadToolFile, // path
    TooManySections,      // path, sections, most sections
    ToolFileTooLarge,     // path, gigabytes, gigabytes readable
    IncorrectFormat,      // path
    ToolNotLoaded,        // path
    ReadOnlyQuestion,
    UnableToModifyOnDisk,
    UnableToModify,
    NoRecords,             // path
    MissingRecord,         // path
    ReferencedFileMissing, // name
    UnusableRecord,        // path, why
    RecordFilesMissing,    // the names (a list), records found
    UnableToOpenSheet,
    ZeroPlaneArea,

    // Why a record file cannot be used.
    RecordShorterThanHeader,
    RecordWithoutMesh,       // elements, nodes
    RecordShorterThanCounts, // elements, nodes
    RecordTooManyPlanes,     // planes, most planes
    RecordEndsEarly,
    RecordBeyondMemory,   // elements, nodes, gigabytes
    RecordNodeOutOfRange, // element, node, nodes
    RecordOtherMesh,      // elements, nodes, the project's elements, nodes
    RecordNotProjectMesh,

    // Values that are not numbers.
    NonFiniteValues, // record, what holds them, the first of each
    OneNode,         // 1
    Nodes,           // count
    OneElement,      // 1
    Elements,        // count
    NodeNumber,      // node
    ElementNumber,   // element

    // Navigation and animation.
    StopAnimationFirst,
    InvalidRecordNumber,

    // The configuration file.
    CannotOpenConfiguration,
    CannotWriteConfiguration,

    // Comparisons.
    NoSheetToCompare,
    MeshNodesDiffer,        // nodes, the reference's nodes
    MeshElementsDiffer,     // elements, the reference's elements
    MeshCountsDiffer,       // nodes, the reference's, elements, the reference's
    MeshElementNodesDiffer, // element, its three nodes, the reference's three
    OneNodeBeyondReference, // the distance with its unit
    NodesBeyondReference,   // nodes, the distance with its unit

    // Measurement files.
    MeasurementUnusable,    // path, why
    MeasurementLineTooLong, // line, most characters
    MeasurementNoHeader,
    MeasurementMissingColumn,  // line, the column
    MeasurementMissingColumns, // line, the columns
    MeasurementRepeatedColumn, // line, the column
    MeasurementUnknownUnit,    // line, the column's text
    MeasurementNoUsableRow,
    MeasurementTooManyRows, // most rows
    MeasurementBadRow,      // path, the row (line and fault)
    MeasurementBadRows,     // path, the rows (a list)
    BadRowLine,             // line, fault
    TooFewFields,
    NotANumber,  // column
    NotFinite,   // column
    OutOfRange,  // column
    NotPositive, // column
    QuoteNotClosed,

    // The 3D view and pictures.
    GraphicalInitialisationFailed,
    PixelFormatError,
    MeasurementInElementMode,

    // Videos.
    VideoErrorCaption,
    VideoError,
    VideoCancelled,
    VideoCreated,

    // Project files export.
    NoExportFolder,
    ExportToProjectFolder,
    CreateFolderQuestion, // folder
    CannotCreateFolder,   // folder
    SomeNotExported,
    AllExported,
    ReplaceOneQuestion, // folder, file
    ReplaceQuestion,    // folder, files
    Replaced,           // path
    CannotOpenReport,   // path

    // 3D models.
    GlbTooLarge,

    Count // not a message: the number of ids
};

class Message;

// One argument of a message: a text (a path, a name), a whole number, a
// real number, or a message of its own (the reason inside a refusal).
class MessageArgument {
public:
    enum class Kind { Text, Integer, Real, Nested };

    MessageArgument(std::string value) : kind(Kind::Text), text(std::move(value)) {}
    MessageArgument(const char* value) : kind(Kind::Text), text(value) {}
    MessageArgument(int value) : kind(Kind::Integer), integer(value) {}
    MessageArgument(long value) : kind(Kind::Integer), integer(value) {}
    MessageArgument(long long value) : kind(Kind::Integer), integer(value) {}
    MessageArgument(unsigned long value) : kind(Kind::Integer), integer(static_cast<long long>(value)) {}
    MessageArgument(double value) : kind(Kind::Real), real(value) {}
    MessageArgument(Message message);
    MessageArgument(MessageId id);

    Kind ArgumentKind() const { return kind; }
    const std::string& Text() const { return text; }
    long long Integer() const { return integer; }
    double Real() const { return real; }
    const Message& Nested() const { return *nested; }

private:
    Kind kind;
    std::string text;
    long long integer = 0;
    double real = 0;
    std::shared_ptr<const Message> nested;
};

// A message as a value: its id and its arguments, in the order of its text.
// An empty message (MessageId::None) says nothing.
class Message {
public:
    Message() = default;
    template <typename... Arguments>
    Message(MessageId what, Arguments&&... values)
        : id(what), arguments{MessageArgument(std::forward<Arguments>(values))...} {}
    Message(MessageId what, std::vector<MessageArgument> values) : id(what), arguments(std::move(values)) {}

    MessageId Id() const { return id; }
    const std::vector<MessageArgument>& Arguments() const { return arguments; }
    explicit operator bool() const { return id != MessageId::None; }

private:
    MessageId id = MessageId::None;
    std::vector<MessageArgument> arguments;
};

inline MessageArgument::MessageArgument(Message message)
    : kind(Kind::Nested), nested(std::make_shared<const Message>(std::move(message))) {}
inline MessageArgument::MessageArgument(MessageId id) : MessageArgument(Message(id)) {}

// Shows a message and returns the user's answer. The windows show a message
// box, the batch tool writes to stderr, the tests record what was said; each
// composes the texts through messages/.
class IMessageSink {
public:
    virtual ~IMessageSink() = default;
    // A message of the libraries.
    virtual MessageAnswer Show(const Message& message, MessageIcon icon, MessageButtons buttons) = 0;
    // The same under a caption of its own instead of the program's name;
    // sinks that show no captions show the message alone.
    virtual MessageAnswer ShowCaptioned(const Message& caption, const Message& message, MessageIcon icon,
                                        MessageButtons buttons) {
        (void)caption;
        return Show(message, icon, buttons);
    }
    // A text the program or a window composed itself.
    virtual MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) = 0;
};

// The status-bar progress of the main frame, or whatever stands in for it.
class IProgressSink {
public:
    virtual ~IProgressSink() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
};

// The process-wide sink. Until a program installs its own, messages go
// nowhere and questions are answered No.
IMessageSink& CurrentMessageSink();
void SetMessageSink(IMessageSink* sink); // null restores the silent sink

MessageAnswer ShowMessage(const Message& message, MessageIcon icon,
                          MessageButtons buttons = MessageButtons::Ok);
MessageAnswer ShowCaptionedMessage(const Message& caption, const Message& message, MessageIcon icon,
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
    explicit CCriticalError(Message why) : std::runtime_error("critical error"), reason(std::move(why)) {}
    const Message& Reason() const { return reason; }

private:
    Message reason;
};

// What went wrong, in the user's terms: the standard library's own texts
// name its functions ("std::bad_alloc", "vector::_M_realloc_insert").
Message FailureMessage(const std::exception& error);

// Shows "Critical error: <why>", then throws CCriticalError carrying why.
[[noreturn]] void ReportCriticalError(const Message& why);

} // namespace quillmere
