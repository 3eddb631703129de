#include "tests/support/TestSupport.h"

#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <link.h>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <unistd.h>

using namespace quillmere;

CTempFolder::CTempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/quillmere-test-XXXXXX";
    if (!::mkdtemp(&pattern[0]))
        throw std::runtime_error("cannot create a temporary folder");
    path = pattern;
}

CTempFolder::~CTempFolder() {
    std::error_code ignored;
    // Read-only entries made by a test must not stop the clean-up.
    for (auto it = std::filesystem::recursive_directory_iterator(path, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
}

CRecordingMessages::CRecordingMessages() : previous(&CurrentMessageSink()) {
    SetMessageSink(this);
}

CRecordingMessages::~CRecordingMessages() {
    SetMessageSink(previous);
}

MessageAnswer CRecordingMessages::ShowText(const std::string& text, MessageIcon icon,
                                           MessageButtons buttons) {
    std::lock_guard<std::mutex> lock(mutex);
    messages.push_back({text, icon, buttons});
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : answer;
}

std::string CRecordingMessages::Texts() const {
    std::string all;
    for (const RecordedMessage& message : messages)
        all += (all.empty() ? "" : "|") + message.text;
    return all;
}

CFileSizeLimit::CFileSizeLimit(unsigned long bytes) : previousHandler(std::signal(SIGXFSZ, SIG_IGN)) {
    struct rlimit limit;
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previousSoft = limit.rlim_cur;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

CFileSizeLimit::~CFileSizeLimit() {
    struct rlimit limit;
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = previousSoft;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler);
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

void KeepLoadedLibraries() {
#ifdef __SANITIZE_ADDRESS__
    // Opening an already loaded library with RTLD_NODELETE marks it never to unload.
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && info->dlpi_name[0] == '/')
                ::dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
#endif
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

bool PathExists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string AtomicStepName(const ::testing::TestParamInfo<CAtomicFile::Step>& step) {
    static const char* const names[] = {"Create", "Write", "Flush", "Rename"};
    return names[static_cast<int>(step.param)];
}
