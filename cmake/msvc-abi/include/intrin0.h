// Stands in for Visual C++'s <intrin0.h>, the small set of intrinsics the standard library uses:
// clang's own <intrin.h> declares them all.
#pragma once

#include <intrin.h>
