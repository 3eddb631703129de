// Replaces a file only once its complete new content is safely on disk: the
// content goes to a temporary file beside it, which is then renamed over the
// old one. Any failure removes the temporary file and leaves the old one as
// it was. A file without write permission for its owner is not replaced.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <sys/stat.h>

namespace quillmere {

class CAtomicFile {
public:
    enum class Step { Create, Write, Flush, Rename };

    // target: the file to replace; temporary: the name used while writing.
    // A temporary name ending in "XXXXXX" is made unique as mkstemp does, so
    // that no other file ever stands in its way; any other name replaces
    // whatever stands there.
    CAtomicFile(std::string targetPath, std::string temporaryPath);
    ~CAtomicFile(); // discards an uncommitted temporary file
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    // A copy: the new file takes the permission bits and times of source
    // instead of the old file's permissions. Call before Open.
    void KeepAttributesOf(const struct stat& source);

    bool Open();
    bool Write(const std::string& text);
    // Writes at a position, which lets several threads fill parts of a large
    // file at once.
    bool WriteAt(uint64_t position, const void* data, size_t size);
    // Starts putting a written range on the disk while the next one is made,
    // so that Commit's sync only waits for the last bytes.
    void StartSync(uint64_t position, uint64_t size);
    // Room on the disk for a file of this size, in one piece, before parts
    // of it are written in any order.
    void Reserve(uint64_t size);
    // Flushes, syncs, keeps the old file's permissions and renames. False on
    // any failure, after which the old file is untouched.
    bool Commit();

    // Tests stand a failing step in for a full disk or a vanished folder:
    // the hook returns true when the given step must fail.
    static void SetFaultHook(std::function<bool(Step)> hook);

private:
    bool Fails(Step step) const;
    bool Put(const char* data, size_t size, off_t position);
    void Discard();
    std::string target;
    std::string temporary;
    int descriptor = -1;
    std::atomic<bool> failed{false};
    bool copy = false;
    struct stat source {};
};

// Writes the whole text to target through a CAtomicFile.
bool ReplaceFileContent(const std::string& target, const std::string& temporary, const std::string& text);

} // namespace quillmere
