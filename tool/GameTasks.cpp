// Tasks run outside the lock, so that one may post another.
#include "tool/GameTasks.h"

#include <utility>

namespace qvtool {

void GameTasks::Post(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    posted_.notify_one();
}

void GameTasks::RunUntil(std::chrono::steady_clock::time_point deadline)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopped_) {
        if (tasks_.empty()) {
            if (posted_.wait_until(lock, deadline) == std::cv_status::timeout && tasks_.empty()) return;
            continue;
        }
        std::function<void()> task = std::move(tasks_.front());
        tasks_.pop_front();
        lock.unlock();
        task();
        // A steady stream of tasks must not hold the timer back.
        if (std::chrono::steady_clock::now() >= deadline) return;
        lock.lock();
    }
}

void GameTasks::Stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopped_ = true;
    }
    posted_.notify_all();
}

bool GameTasks::Stopped() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return stopped_;
}

} // namespace qvtool
