#include "core/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quillmere {

namespace {

std::function<bool(CAtomicFile::Step)>& FaultHook() {
    static std::function<bool(CAtomicFile::Step)> hook;
    return hook;
}

} // namespace

CAtomicFile::CAtomicFile(std::string targetPath, std::string temporaryPath)
    : target(std::move(targetPath)), temporary(std::move(temporaryPath)) {}

CAtomicFile::~CAtomicFile() {
    Discard();
}

void CAtomicFile::SetFaultHook(std::function<bool(Step)> hook) {
    FaultHook() = std::move(hook);
}

bool CAtomicFile::Fails(Step step) const {
    return FaultHook() && FaultHook()(step);
}

void CAtomicFile::Discard() {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
        ::unlink(temporary.c_str());
    }
}

void CAtomicFile::KeepAttributesOf(const struct stat& attributes) {
    copy = true;
    source = attributes;
}

bool CAtomicFile::Open() {
    Discard();
    failed = false;
    if (Fails(Step::Create))
        return false;
    mode_t mode = copy ? source.st_mode & 0777 : 0644;
    struct stat info;
    if (::stat(target.c_str(), &info) == 0) {
        // A file its owner may not write is left alone, even by root.
        if ((info.st_mode & S_IWUSR) == 0)
            return false;
        if (!copy)
            mode = info.st_mode & 07777;
    }
    const std::string unique = "XXXXXX";
    if (temporary.size() >= unique.size() &&
        temporary.compare(temporary.size() - unique.size(), unique.size(), unique) == 0) {
        descriptor = ::mkostemp(&temporary[0], O_CLOEXEC);
    } else {
        // Whatever stands at the temporary name (a left-over of an earlier
        // run) goes first, so that a link there cannot send the content
        // elsewhere.
        ::unlink(temporary.c_str());
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    }
    if (descriptor < 0)
        return false;
    // The old file's permissions (or the source's of a copy), as far as the
    // owner may set them.
    if (::fchmod(descriptor, mode) != 0) {
        Discard();
        return false;
    }
    return true;
}

bool CAtomicFile::Write(const std::string& text) {
    return Put(text.data(), text.size(), -1);
}

bool CAtomicFile::WriteAt(uint64_t position, const void* data, size_t size) {
    return Put(static_cast<const char*>(data), size, static_cast<off_t>(position));
}

void CAtomicFile::Reserve(uint64_t size) {
    // Only a hint, where the file system has it.
    if (descriptor >= 0)
        ::fallocate(descriptor, 0, 0, static_cast<off_t>(size));
}

void CAtomicFile::StartSync(uint64_t position, uint64_t size) {
    // Only a hint: Commit's sync still waits for everything.
    if (descriptor >= 0)
        ::sync_file_range(descriptor, static_cast<off_t>(position), static_cast<off_t>(size),
                          SYNC_FILE_RANGE_WRITE);
}

// At the file's offset when position is negative.
bool CAtomicFile::Put(const char* data, size_t size, off_t position) {
    if (descriptor < 0 || failed)
        return false;
    if (Fails(Step::Write)) {
        failed = true;
        return false;
    }
    for (size_t done = 0; done < size;) {
        const ssize_t written = position < 0 ? ::write(descriptor, data + done, size - done)
                                             : ::pwrite(descriptor, data + done, size - done,
                                                        position + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            failed = true;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

bool CAtomicFile::Commit() {
    // A copy keeps its source's times: nothing is written after them.
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (descriptor < 0 || failed || Fails(Step::Flush) || (copy && ::futimens(descriptor, times) != 0) ||
        ::fsync(descriptor) != 0) {
        Discard();
        return false;
    }
    const int closed = ::close(descriptor);
    descriptor = -1;
    if (closed != 0 || Fails(Step::Rename) || std::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool ReplaceFileContent(const std::string& target, const std::string& temporary, const std::string& text) {
    CAtomicFile file(target, temporary);
    return file.Open() && file.Write(text) && file.Commit();
}

} // namespace quillmere
