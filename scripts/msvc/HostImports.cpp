// Takes the address of every function of plugin/host/ArkApi.h, so that the object file names each
// one as an import (__imp_...) in the form Microsoft's compiler gives it. scripts/check-msvc.sh
// compares those names with plugin/host/version.def.
#include "plugin/host/ArkApi.h"

extern void* const hostFunctions[];
void* const hostFunctions[] = {
    reinterpret_cast<void*>(&ArkApi::GetCommands),
    reinterpret_cast<void*>(&ArkApi::GetApiUtils),
    reinterpret_cast<void*>(&ArkApi::GetHooks),
    reinterpret_cast<void*>(&ArkApi::Tools::GetCurrentDir),
    reinterpret_cast<void*>(&ArkApi::Tools::Utf8Decode),
    reinterpret_cast<void*>(static_cast<void* (*)(const std::string&)>(&GetAddress)),
    reinterpret_cast<void*>(static_cast<std::uint64_t (*)(const void*, const std::string&)>(&GetAddress)),
    reinterpret_cast<void*>(&GetLogSinks),
};
