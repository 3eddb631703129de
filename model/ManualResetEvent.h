// An event that stays signalled until it is reset, as the animation worker
// and the interface thread use to hand steps to each other.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quillmere {

class CManualResetEvent {
public:
    void Set();
    void Reset();
    bool IsSet() const;
    void Wait();
    // True when the event was set within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex mutex;
    std::condition_variable changed;
    bool set = false;
};

} // namespace quillmere
