#include "tests/navigation/FakeInterface.h"

#include <chrono>
#include <thread>

using namespace quillmere;

void CTestInterfaceThread::Post(std::function<void()> task) {
    std::lock_guard<std::mutex> lock(mutex);
    tasks.push_back(std::move(task));
}

void CTestInterfaceThread::DispatchPending() {
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (tasks.empty())
                return;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task();
    }
}

void CTestInterfaceThread::WaitProcessing(CManualResetEvent& event) {
    ++waits;
    while (!event.IsSet()) {
        DispatchPending();
        event.WaitFor(std::chrono::milliseconds(2));
    }
}

bool CTestInterfaceThread::RunUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        DispatchPending();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
