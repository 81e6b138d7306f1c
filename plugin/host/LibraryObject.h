// Marks the library-wide objects whose lifetime must enclose Load and Unload. On Windows the C
// runtime gives that around DllMain; on Linux the entry point is itself a static object, so these
// are built before it and, being registered for destruction earlier, torn down after it.
#pragma once

#if defined(_WIN32)
#define QV_LIBRARY_OBJECT
#else
#define QV_LIBRARY_OBJECT __attribute__((init_priority(1000)))
#endif
