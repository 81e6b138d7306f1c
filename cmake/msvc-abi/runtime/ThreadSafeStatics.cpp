// Thread-safe initialization of function-local statics, as Visual C++'s static runtime provides it
// for the compiler's calls (thread_safe_statics): a guard holds 0 before the initialization, -1
// while one thread runs it, and after it the epoch it completed in. A thread compares the guard
// with the last epoch it has seen (_Init_thread_epoch) and calls in only when it may have to wait.
#include <windows.h>

#include <climits>

extern "C" {

int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;

static SRWLOCK guardLock = SRWLOCK_INIT;
static CONDITION_VARIABLE guardDone = CONDITION_VARIABLE_INIT;

// Called when the guard is above the thread's epoch: takes the initialization (the guard becomes
// -1), or waits for the thread running it and returns with the guard at its epoch.
void __cdecl _Init_thread_header(int* const guard)
{
    AcquireSRWLockExclusive(&guardLock);
    if (*guard == 0) {
        *guard = -1;
    } else {
        while (*guard == -1) {
            SleepConditionVariableSRW(&guardDone, &guardLock, INFINITE, 0);
            // The other thread's initialization threw: this one takes it over.
            if (*guard == 0) {
                *guard = -1;
                ReleaseSRWLockExclusive(&guardLock);
                return;
            }
        }
        _Init_thread_epoch = _Init_global_epoch;
    }
    ReleaseSRWLockExclusive(&guardLock);
}

// The initialization completed.
void __cdecl _Init_thread_footer(int* const guard)
{
    AcquireSRWLockExclusive(&guardLock);
    ++_Init_global_epoch;
    *guard = _Init_global_epoch;
    _Init_thread_epoch = _Init_global_epoch;
    ReleaseSRWLockExclusive(&guardLock);
    WakeAllConditionVariable(&guardDone);
}

// The initialization threw: the next thread to arrive tries again.
void __cdecl _Init_thread_abort(int* const guard)
{
    AcquireSRWLockExclusive(&guardLock);
    *guard = 0;
    ReleaseSRWLockExclusive(&guardLock);
    WakeAllConditionVariable(&guardDone);
}

} // extern "C"
