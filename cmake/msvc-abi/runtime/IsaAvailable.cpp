// __isa_available and __isa_enabled, which Visual C++'s static runtime sets at start-up
// (__isa_available_init): the best instruction set level, and a bit for each level present. The
// standard library's vectorised algorithms read them to choose their SSE2, SSE4.2 or AVX2 paths.
#include <intrin.h>
#include <isa_availability.h>
#include <utility>

extern "C" {

int __isa_available = __ISA_AVAILABLE_X86;
long __isa_enabled = 1 << __ISA_AVAILABLE_X86;

void __cdecl __isa_available_init()
{
    int info[4];
    __cpuid(info, 1);
    const bool sse42 = (info[2] & (1 << 20)) != 0;
    // AVX also needs the system to save the YMM registers (OSXSAVE, and XCR0's bits 1 and 2).
    const bool avx = (info[2] & (1 << 28)) != 0 && (info[2] & (1 << 27)) != 0 && (_xgetbv(0) & 6) == 6;
    __cpuidex(info, 7, 0);
    const bool avx2 = avx && (info[1] & (1 << 5)) != 0;

    // Every x86-64 processor has SSE2.
    __isa_available = __ISA_AVAILABLE_SSE2;
    __isa_enabled |= 1 << __ISA_AVAILABLE_SSE2;
    for (const auto& [present, level] : {std::pair{sse42, __ISA_AVAILABLE_SSE42}, std::pair{avx, __ISA_AVAILABLE_AVX},
                                         std::pair{avx2, __ISA_AVAILABLE_AVX2}}) {
        if (!present) break;
        __isa_available = level;
        __isa_enabled |= 1 << level;
    }
}

} // extern "C"
