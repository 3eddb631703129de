// Shared helpers of the unit tests: temporary folders, recorded messages and
// progress, and small file utilities.
#pragma once

#include "core/AtomicFile.h"
#include "core/Messages.h"
#include "messages/MessageText.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

using namespace quillmere;

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes away.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "/" + name; }

private:
    std::string path;
};

namespace quillmere {
// A message in an assertion's output, as the user reads it.
inline std::ostream& operator<<(std::ostream& out, const Message& message) {
    return out << MessageText(message);
}
} // namespace quillmere

struct RecordedMessage {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
};

// Records every message shown while it is installed, as the user reads it,
// and answers questions with a preset answer.
class CRecordingMessages : public CTextMessageSink {
public:
    CRecordingMessages();
    ~CRecordingMessages() override;
    CRecordingMessages(const CRecordingMessages&) = delete;
    CRecordingMessages& operator=(const CRecordingMessages&) = delete;

    MessageAnswer ShowText(const std::string& text, MessageIcon icon, MessageButtons buttons) override;

    std::vector<RecordedMessage> messages;
    MessageAnswer answer = MessageAnswer::No;

    // All texts joined by "|", handy in assertions.
    std::string Texts() const;

private:
    IMessageSink* previous;
    std::mutex mutex;
};

class CRecordingProgress : public IProgressSink {
public:
    void SetRange(int low, int high) override { ranges.push_back({low, high}); }
    void SetPosition(int position) override { positions.push_back(position); }
    void SetStatusText(const std::string& text) override { texts.push_back(text); }

    std::vector<std::pair<int, int>> ranges;
    std::vector<int> positions;
    std::vector<std::string> texts;
};

// A full disk for this process: while the object lives, no file may grow
// beyond bytes, and a write past that fails with EFBIG instead of ending the
// process.
class CFileSizeLimit {
public:
    explicit CFileSizeLimit(unsigned long bytes);
    ~CFileSizeLimit();
    CFileSizeLimit(const CFileSizeLimit&) = delete;
    CFileSizeLimit& operator=(const CFileSizeLimit&) = delete;

private:
    unsigned long previousSoft;
    void (*previousHandler)(int);
};

// Permission bits stop nobody running as root; tests that rely on them skip.
bool RunningAsRoot();

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool PathExists(const std::string& path);

// Under AddressSanitizer, keeps every library loaded so far in memory until the
// process ends. Libraries unloaded before the leak report (the graphics driver
// goes with the display) leave stacks without module names, which no leak
// suppression can match. Window tests register it with qAddPostRoutine, so it
// runs before the application closes its display.
void KeepLoadedLibraries();

// Names the tests of each failing step of a file replacement.
std::string AtomicStepName(const ::testing::TestParamInfo<CAtomicFile::Step>& step);
