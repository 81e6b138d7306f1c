// The quorvandelle program: everything but the standard streams lives in quorvandelle_tool_lib.
#include <cstdio>
#include <exception>
#include <iostream>

#include "tool/Cli.h"

int main(int argc, char** argv)
{
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
