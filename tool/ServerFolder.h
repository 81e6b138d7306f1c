// The stand-in server's folder: a temporary one, and every way of leaving none behind; or one kept
// from run to run, as a real server's is. The folder is named
// for the process that made it (quorvandelle-server-<process id>-<random>), so that a later run
// removes those whose process is gone, whatever ended it; SIGINT and SIGTERM stop a run so that it
// unwinds and removes its folder; std::terminate removes it before aborting.
#pragma once

#include <filesystem>

namespace qvtool {

class ServerFolder {
public:
    // A temporary folder. Removes the leftovers of ended runs first. Throws std::runtime_error when no
    // folder can be made.
    ServerFolder();
    // The folder at path, made when missing and never removed. Throws std::runtime_error naming it
    // and the system's reason when it cannot be made.
    static ServerFolder Kept(const std::filesystem::path& path);
    // Removes a temporary folder.
    ~ServerFolder();
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    struct KeptTag {};
    ServerFolder(KeptTag, std::filesystem::path path);

    std::filesystem::path path_;
    bool temporary_ = true;
};

// Where serve keeps the server's folder for a config file: beside it, named after it
// (examples/config.json: examples/config.server).
std::filesystem::path KeptServerFolderFor(const std::filesystem::path& config);

// Removes the folders in temp named as ServerFolder names them whose process no longer exists and
// that belong to this user; returns how many.
int RemoveLeftoverServerFolders(const std::filesystem::path& temp);

// A run stopped by a signal. No std::exception, so that it passes every handler of errors on its
// way out to main.
struct Interrupted {
    int Signal = 0;
};

// For the program, once: SIGINT and SIGTERM are only recorded (and interrupt a blocking read), and
// std::terminate removes the live server folder before it aborts.
void CatchInterruptions();
bool InterruptionRecorded();
// Throws Interrupted once a signal has been recorded: called at every step of a run.
void StopIfInterrupted();
// Ends the process by the signal, as if it had never been caught.
[[noreturn]] void EndBy(const Interrupted& interruption);

} // namespace qvtool
