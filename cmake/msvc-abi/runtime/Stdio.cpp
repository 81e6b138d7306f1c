// The printf and scanf family, which the Universal CRT's headers define inline over its
// __stdio_common_* functions and Visual C++'s static runtime (legacy_stdio_definitions) provides for
// the rest; MinGW-w64's headers declare them as external functions, so here they are, with the
// options the Universal CRT's headers pass by default.
#include <cstdarg>
#include <cstdio>

namespace {

constexpr unsigned long long PrintOptions = _CRT_INTERNAL_LOCAL_PRINTF_OPTIONS;
constexpr unsigned long long ScanOptions = _CRT_INTERNAL_LOCAL_SCANF_OPTIONS;
constexpr size_t Unbounded = static_cast<size_t>(-1);

// Into a buffer: C99's snprintf counts what it would have written and always terminates the text;
// sprintf's buffer is taken to be large enough. Both return -1 on an error.
int FormatInto(unsigned long long options, char* buffer, size_t size, const char* format, va_list args)
{
    const int result = __stdio_common_vsprintf(PrintOptions | options, buffer, size, format, nullptr, args);
    return result < 0 ? -1 : result;
}

} // namespace

extern "C" {

int __cdecl vfprintf(FILE* stream, const char* format, va_list args)
{
    return __stdio_common_vfprintf(PrintOptions, stream, format, nullptr, args);
}

int __cdecl vprintf(const char* format, va_list args) { return vfprintf(stdout, format, args); }

int __cdecl vsnprintf(char* buffer, size_t size, const char* format, va_list args)
{
    return FormatInto(_CRT_INTERNAL_PRINTF_STANDARD_SNPRINTF_BEHAVIOR, buffer, size, format, args);
}

int __cdecl vsprintf(char* buffer, const char* format, va_list args)
{
    return FormatInto(_CRT_INTERNAL_PRINTF_LEGACY_VSPRINTF_NULL_TERMINATION, buffer, Unbounded, format, args);
}

int __cdecl vfscanf(FILE* stream, const char* format, va_list args)
{
    return __stdio_common_vfscanf(ScanOptions, stream, format, nullptr, args);
}

int __cdecl vsscanf(const char* text, const char* format, va_list args)
{
    return __stdio_common_vsscanf(ScanOptions, text, Unbounded, format, nullptr, args);
}

int __cdecl fprintf(FILE* stream, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = vfprintf(stream, format, args);
    va_end(args);
    return result;
}

int __cdecl printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = vfprintf(stdout, format, args);
    va_end(args);
    return result;
}

int __cdecl snprintf(char* buffer, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = vsnprintf(buffer, size, format, args);
    va_end(args);
    return result;
}

int __cdecl sprintf(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = vsprintf(buffer, format, args);
    va_end(args);
    return result;
}

int __cdecl sscanf(const char* text, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int result = vsscanf(text, format, args);
    va_end(args);
    return result;
}

} // extern "C"
