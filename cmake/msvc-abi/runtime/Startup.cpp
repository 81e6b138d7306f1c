// The start and end of a program or DLL, which Visual C++'s static runtime (vcruntime's startup
// objects) provides and no DLL does: the entry points, the initializer sections the compiler fills,
// one atexit list per module, the TLS directory, and the symbols the compiler's output refers to.
// The work itself is the Universal CRT's (ucrtbase.dll), through its documented startup functions.
#include <windows.h>

#include <cstdlib>

extern "C" {

// The Universal CRT's startup interface (corecrt_startup.h), declared here as it documents it.
typedef void(__cdecl* _PVFV)(void);
typedef int(__cdecl* _PIFV)(void);
struct _onexit_table_t {
    _PVFV* _first;
    _PVFV* _last;
    _PVFV* _end;
};
enum _crt_argv_mode { _crt_argv_no_arguments, _crt_argv_unexpanded_arguments, _crt_argv_expanded_arguments };
enum _crt_app_type { _crt_unknown_app, _crt_console_app, _crt_gui_app };
int __cdecl _configure_narrow_argv(_crt_argv_mode mode);
int __cdecl _initialize_narrow_environment(void);
char** __cdecl _get_initial_narrow_environment(void);
void __cdecl _set_app_type(_crt_app_type type);
int* __cdecl __p___argc(void);
char*** __cdecl __p___argv(void);
int __cdecl _initterm_e(_PIFV* first, _PIFV* last);
void __cdecl _initterm(_PVFV* first, _PVFV* last);
int __cdecl _initialize_onexit_table(_onexit_table_t* table);
int __cdecl _register_onexit_function(_onexit_table_t* table, _PVFV function);
int __cdecl _execute_onexit_table(_onexit_table_t* table);
int __cdecl _crt_atexit(_PVFV function);
struct __type_info_node;
void __cdecl __std_type_info_destroy_list(__type_info_node* root);

// This runtime's other pieces (IsaAvailable.cpp, TypeInfo.cpp).
void __cdecl __isa_available_init();
extern __type_info_node __type_info_root_node;

// The initializer sections: the linker sorts .CRT$X?? by name, so what the compiler puts in
// .CRT$XIU (C initializers that may fail) and .CRT$XCU (C++ constructors of statics) lies between
// these markers; .CRT$XL? holds the TLS callbacks, of which this runtime has none.
#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLZ", long, read)
__declspec(allocate(".CRT$XIA")) _PIFV __xi_a[] = {nullptr};
__declspec(allocate(".CRT$XIZ")) _PIFV __xi_z[] = {nullptr};
__declspec(allocate(".CRT$XCA")) _PVFV __xc_a[] = {nullptr};
__declspec(allocate(".CRT$XCZ")) _PVFV __xc_z[] = {nullptr};
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = nullptr;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = nullptr;

// The TLS directory, which the loader reads from _tls_used: the template of thread_local data
// (.tls sections, sorted between these markers), the slot of this module's TLS index, and the
// callbacks. A thread_local with a dynamic initializer or a destructor would need more of Visual
// C++'s runtime (__dyn_tls_on_demand_init, __tlregdtor): nothing here has one, and the link fails
// if something comes to.
ULONG _tls_index = 0;
#pragma data_seg(".tls")
char _tls_start = 0;
#pragma data_seg(".tls$ZZZ")
char _tls_end = 0;
#pragma data_seg()
extern const IMAGE_TLS_DIRECTORY64 _tls_used = {reinterpret_cast<ULONGLONG>(&_tls_start),
                                                reinterpret_cast<ULONGLONG>(&_tls_end),
                                                reinterpret_cast<ULONGLONG>(&_tls_index),
                                                reinterpret_cast<ULONGLONG>(&__xl_a + 1),
                                                0,
                                                0};

// The compiler marks every object that uses floating point with a reference to _fltused.
int _fltused = 0x9875;

// atexit: this module's list, run when a DLL detaches or when the program exits. Destructors of
// statics are registered here by the compiler's initializers.
static _onexit_table_t moduleExitList;

int __cdecl atexit(_PVFV function) { return _register_onexit_function(&moduleExitList, function); }

static void __cdecl RunModuleExitList() { _execute_onexit_table(&moduleExitList); }

// Runs the C initializers, then the C++ constructors of statics; false when one failed.
static bool InitializeModule()
{
    __isa_available_init();
    if (_initialize_onexit_table(&moduleExitList) != 0) return false;
    if (_initterm_e(__xi_a, __xi_z) != 0) return false;
    _initterm(__xc_a, __xc_z);
    return true;
}

// The program's entry point, which calls main with the C runtime's arguments and exits with its
// result; the destructors of statics run inside exit, in the Universal CRT's own list. A DLL has no
// main: there the name stands for a function that is never called.
int main_entry(int argc, char** argv, char** envp) asm("main");
int NoMain(int, char**, char**) { return 255; }
#pragma comment(linker, "/alternatename:main=NoMain")

int mainCRTStartup()
{
    _set_app_type(_crt_console_app);
    if (_configure_narrow_argv(_crt_argv_unexpanded_arguments) != 0 || _initialize_narrow_environment() != 0 ||
        _crt_atexit(RunModuleExitList) != 0 || !InitializeModule()) {
        exit(255);
    }
    exit(main_entry(*__p___argc(), *__p___argv(), _get_initial_narrow_environment()));
}

// A DLL's DllMain when it defines none.
BOOL WINAPI DefaultDllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#pragma comment(linker, "/alternatename:DllMain=DefaultDllMain")
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

// Whether this DLL's runtime is up. A detach that finds it down (the loader's, after one made by
// hand) returns at once, as Visual C++'s does.
static int processAttached = 0;

static void UninitializeModule()
{
    RunModuleExitList();
    __std_type_info_destroy_list(&__type_info_root_node);
}

// A DLL's entry point: statics are built before DllMain's attach and destroyed after its detach; an
// attach that DllMain refuses is undone as a detach.
BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_DETACH && processAttached <= 0) return FALSE;
    if (reason == DLL_PROCESS_ATTACH && !InitializeModule()) return FALSE;
    const BOOL result = DllMain(instance, reason, reserved);
    if (reason == DLL_PROCESS_ATTACH) {
        if (result) {
            ++processAttached;
        } else {
            DllMain(instance, DLL_PROCESS_DETACH, reserved);
            UninitializeModule();
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        --processAttached;
        UninitializeModule();
    }
    return result;
}

} // extern "C"

// The old POSIX names of the C runtime's functions (close for _close ...), which Visual C++'s
// oldnames.lib supplies as aliases: the Universal CRT exports only the underscored names. Each is
// the linker's alternate name, used only when nothing else defines the plain name.
#pragma comment(linker, "/alternatename:access=_access")
#pragma comment(linker, "/alternatename:chdir=_chdir")
#pragma comment(linker, "/alternatename:close=_close")
#pragma comment(linker, "/alternatename:creat=_creat")
#pragma comment(linker, "/alternatename:dup=_dup")
#pragma comment(linker, "/alternatename:dup2=_dup2")
#pragma comment(linker, "/alternatename:fdopen=_fdopen")
#pragma comment(linker, "/alternatename:fileno=_fileno")
#pragma comment(linker, "/alternatename:getcwd=_getcwd")
#pragma comment(linker, "/alternatename:getpid=_getpid")
#pragma comment(linker, "/alternatename:isatty=_isatty")
#pragma comment(linker, "/alternatename:lseek=_lseek")
#pragma comment(linker, "/alternatename:mkdir=_mkdir")
#pragma comment(linker, "/alternatename:open=_open")
#pragma comment(linker, "/alternatename:read=_read")
#pragma comment(linker, "/alternatename:rmdir=_rmdir")
#pragma comment(linker, "/alternatename:strdup=_strdup")
#pragma comment(linker, "/alternatename:unlink=_unlink")
#pragma comment(linker, "/alternatename:write=_write")
