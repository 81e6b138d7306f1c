// Stands in for Visual C++'s <vcruntime_exception.h>: std::exception and the allocation failures, with
// the layout and the message handling of vcruntime140.dll, which copies and frees the message.
#pragma once

#include <eh.h>

#pragma pack(push, _CRT_PACKING)

extern "C" {
struct __std_exception_data {
    const char* _What;
    bool _DoFree;
};
_VCRTIMP void __cdecl __std_exception_copy(const __std_exception_data* _From, __std_exception_data* _To);
_VCRTIMP void __cdecl __std_exception_destroy(__std_exception_data* _Data);
}

namespace std {

class exception {
public:
    exception() noexcept : _Data() {}
    explicit exception(const char* const _Message) noexcept : _Data()
    {
        const __std_exception_data _InitData = {_Message, true};
        __std_exception_copy(&_InitData, &_Data);
    }
    // The message is a literal that outlives the object: kept, not copied.
    exception(const char* const _Message, int) noexcept : _Data() { _Data._What = _Message; }
    exception(const exception& _Other) noexcept : _Data() { __std_exception_copy(&_Other._Data, &_Data); }
    exception& operator=(const exception& _Other) noexcept
    {
        if (this == &_Other) return *this;
        __std_exception_destroy(&_Data);
        __std_exception_copy(&_Other._Data, &_Data);
        return *this;
    }
    virtual ~exception() noexcept { __std_exception_destroy(&_Data); }
    _NODISCARD virtual const char* what() const { return _Data._What ? _Data._What : "Unknown exception"; }

private:
    __std_exception_data _Data;
};

class bad_exception : public exception {
public:
    bad_exception() noexcept : exception("bad exception", 1) {}
};

class bad_alloc : public exception {
public:
    bad_alloc() noexcept : exception("bad allocation", 1) {}

private:
    friend class bad_array_new_length;
    bad_alloc(const char* const _Message) noexcept : exception(_Message, 1) {}
};

class bad_array_new_length : public bad_alloc {
public:
    bad_array_new_length() noexcept : bad_alloc("bad array new length") {}
};

} // namespace std

#pragma pack(pop)
