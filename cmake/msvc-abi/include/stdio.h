// Wraps MinGW-w64's <stdio.h> with what the Universal CRT's declares beside it: the multibyte
// state _Mbstatet, which <cstdio> names, the sharing modes of <share.h>, and the access to a
// stream's buffer that <fstream> uses.
#pragma once

#include_next <stdio.h>

#include <share.h>
#include <wchar.h>

#ifdef __cplusplus
extern "C" {
#endif
errno_t __cdecl _get_stream_buffer_pointers(FILE* _Stream, char*** _Base, char*** _Pointer, int** _Count);
#ifdef __cplusplus
}
#endif
