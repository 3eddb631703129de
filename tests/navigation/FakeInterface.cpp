#include "tests/navigation/FakeInterface.h"

#include <chrono>
#include <thread>

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
    while (!event.IsSet()) {
        DispatchPending();
        event.WaitFor(std::chrono::milliseconds(2));
    }
}

void CTestInterfaceThread::RunFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        DispatchPending();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    DispatchPending();
}
