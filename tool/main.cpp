// The quorvandelle program: everything but the standard streams lives in quorvandelle_tool_lib.
#include <cstdio>
#include <exception>
#include <iostream>

#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include "tool/Cli.h"

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

} // namespace

int main(int argc, char** argv)
{
    HoldClosedStandardStreams();
    // Streams with buffers of their own: a write that fails then fails the stream at once, where
    // stdio's buffer would keep the error to itself until the program ends.
    std::ios::sync_with_stdio(false);
    qvtool::Output output{std::cout, std::cerr, qvtool::Style::For(stdout), qvtool::Style::For(stderr),
                          qvtool::IsTerminal(stderr)};
    try {
        return qvtool::RunTool(argc, argv, std::cin, qvtool::IsTerminal(stdin), output);
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "error: " << error.what() << '\n';
        return qvtool::kConfigErrors;
    }
}
