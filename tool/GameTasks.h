// Work that other threads (the RCON listener, the prompt) hand to the game thread: the stand-in
// server is driven from one thread only, as a game server runs its commands between its frames.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace qvtool {

class GameTasks {
public:
    // From any thread; run in the order posted.
    void Post(std::function<void()> task);
    // On the game thread: runs what is posted until deadline, then returns; at once after Stop.
    void RunUntil(std::chrono::steady_clock::time_point deadline);
    // From any thread: the game loop is to end.
    void Stop();
    bool Stopped() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    bool stopped_ = false;
};

} // namespace qvtool
