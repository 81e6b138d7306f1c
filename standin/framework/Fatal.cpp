// Loud failure: message on standard error, then abort (a death test can watch for both).
#include "standin/framework/Fatal.h"

#include <cstdio>
#include <cstdlib>

namespace standin {

void LoudFailure(const std::string& what)
{
    std::fprintf(stderr, "stand-in host: FATAL: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

} // namespace standin
