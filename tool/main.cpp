// The quorvandelle program: everything but the standard streams lives in quorvandelle_tool_lib.
#include <cerrno>
#include <cstdio>
#include <exception>
#include <iostream>
#include <istream>
#include <streambuf>

#if !defined(_WIN32)
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

#include "tool/Cli.h"
#include "tool/ServerFolder.h"

namespace {

// A standard stream started closed would be taken by the next file the program opens (the server's
// copy of config.json), and what is printed would land in that file. A read-only /dev/null keeps
// the number taken; writing to it fails as writing to the closed descriptor did, and is reported.
void HoldClosedStandardStreams()
{
#if !defined(_WIN32)
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(stream, F_GETFD) != -1) continue;
        const int held = open("/dev/null", O_RDONLY);
        if (held != -1 && held != stream) {
            dup2(held, stream);
            close(held);
        }
    }
#endif
}

#if !defined(_WIN32)
// Standard input read straight from its descriptor. The C++ library retries a read that a signal
// interrupted, so a console waiting for its next line would never notice SIGINT; here the wait
// ends when a signal is recorded, and the console then finds it.
class InterruptibleInput : public std::streambuf {
protected:
    int_type underflow() override
    {
        while (!qvtool::InterruptionRecorded()) {
            // A signal that comes just before the wait begins is seen at the next turn.
            pollfd ready{STDIN_FILENO, POLLIN, 0};
            const int polled = poll(&ready, 1, 200);
            if (polled == 0 || (polled < 0 && errno == EINTR)) continue;
            const ssize_t count = read(STDIN_FILENO, buffer_, sizeof buffer_);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) break;
            setg(buffer_, buffer_, buffer_ + count);
            return traits_type::to_int_type(buffer_[0]);
        }
        return traits_type::eof();
    }

private:
    char buffer_[4096];
};
#endif

} // namespace

int main(int argc, char** argv)
{
    HoldClosedStandardStreams();
    // Streams with buffers of their own: a write that fails then fails the stream at once, where
    // stdio's buffer would keep the error to itself until the program ends.
    std::ios::sync_with_stdio(false);
    qvtool::Output output{std::cout, std::cerr, qvtool::Style::For(stdout), qvtool::Style::For(stderr),
                          qvtool::IsTerminal(stderr)};
    qvtool::CatchInterruptions();
    try {
#if defined(_WIN32)
        std::istream& in = std::cin;
#else
        InterruptibleInput buffer;
        std::istream in(&buffer);
        in.tie(&std::cout);
#endif
        const int status = qvtool::RunTool(argc, argv, in, qvtool::IsTerminal(stdin), output);
        qvtool::StopIfInterrupted();
        return status;
    } catch (const qvtool::Interrupted& interruption) {
        std::cout.flush();
        qvtool::EndBy(interruption);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "error: " << error.what() << '\n';
        return qvtool::kConfigErrors;
    }
}
