// Reaching game fields and functions by their "Class.Member" names through the host.
// Addresses are used at once and never kept: the host may move things between calls.
#pragma once

#include <string>

#include "plugin/host/ArkApi.h"

template <typename FunctionPointer>
FunctionPointer GameFunction(const char* name)
{
    return reinterpret_cast<FunctionPointer>(GetAddress(std::string(name)));
}

template <typename T>
T& GameField(const void* object, const char* name)
{
    return *reinterpret_cast<T*>(static_cast<std::uintptr_t>(GetAddress(object, std::string(name))));
}
