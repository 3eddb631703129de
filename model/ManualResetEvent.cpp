#include "model/ManualResetEvent.h"

namespace quillmere {

void CManualResetEvent::Set() {
    {
        std::lock_guard<std::mutex> lock(mutex);
        set = true;
    }
    changed.notify_all();
}

void CManualResetEvent::Reset() {
    std::lock_guard<std::mutex> lock(mutex);
    set = false;
}

bool CManualResetEvent::IsSet() const {
    std::lock_guard<std::mutex> lock(mutex);
    return set;
}

void CManualResetEvent::Wait() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return set; });
}

bool CManualResetEvent::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, timeout, [this] { return set; });
}

} // namespace quillmere
