// GetAddress for functions and fields. An unknown name, a field of a null or dead object, or a
// field of another class is a loud failure: the plug-in uses every answer without testing it, so
// a quiet null would only move the crash somewhere harder to read.
#include <cstdint>
#include <string>
#include <unordered_map>

#include "plugin/host/ArkApi.h"
#include "standin/framework/Allocator.h"
#include "standin/framework/Fatal.h"
#include "standin/framework/GameBinding.h"

namespace {

void* AddressOf(void* (*function)(std::uint64_t, std::uint32_t)) { return reinterpret_cast<void*>(function); }
void* AddressOf(void* (*function)(void*, std::uint64_t)) { return reinterpret_cast<void*>(function); }
void* AddressOf(void (*function)(void*)) { return reinterpret_cast<void*>(function); }

const std::unordered_map<std::string, void*>& FunctionTable()
{
    static const auto* table = [] {
        auto* made = new std::unordered_map<std::string, void*>{
            {"FMemory.Malloc", AddressOf(&standin::memory::Malloc)},
            {"FMemory.Realloc", AddressOf(&standin::memory::Realloc)},
            {"FMemory.Free", AddressOf(&standin::memory::Free)},
        };
        for (const auto& symbol : standin::binding::GameFunctions()) made->emplace(symbol.name, symbol.address);
        return made;
    }();
    return *table;
}

struct Field {
    std::string owner;
    std::size_t offset = 0;
};

const std::unordered_map<std::string, Field>& FieldTable()
{
    static const auto* table = [] {
        auto* made = new std::unordered_map<std::string, Field>();
        for (const auto& symbol : standin::binding::GameFields()) {
            made->emplace(symbol.name, Field{symbol.name.substr(0, symbol.name.find('.')), symbol.offset});
        }
        return made;
    }();
    return *table;
}

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

} // namespace

void* GetAddress(const std::string& name)
{
    const auto& table = FunctionTable();
    const auto found = table.find(name);
    if (found == table.end()) {
        const bool isField = FieldTable().count(name) != 0;
        standin::LoudFailure("GetAddress(" + Quoted(name) + "): no such game function" +
                             (isField ? " (it is a field: ask with the object)" : ""));
    }
    return found->second;
}

std::uint64_t GetAddress(const void* object, const std::string& name)
{
    const auto& table = FieldTable();
    const auto found = table.find(name);
    if (found == table.end()) {
        const bool isFunction = FunctionTable().count(name) != 0;
        standin::LoudFailure("GetAddress(object, " + Quoted(name) + "): no such game field" +
                             (isFunction ? " (it is a function: ask without an object)" : ""));
    }
    if (object == nullptr) standin::LoudFailure("GetAddress(null, " + Quoted(name) + "): the object is null");
    const char* objectClass = standin::binding::ClassOfObject(object);
    if (objectClass == nullptr) {
        standin::LoudFailure("GetAddress(object, " + Quoted(name) +
                             "): the object is no live game object (destroyed, or not a game object at all)");
    }
    if (!standin::binding::ClassDerivesFrom(objectClass, found->second.owner)) {
        standin::LoudFailure("GetAddress(object, " + Quoted(name) + "): the object is a " + objectClass +
                             ", which has no field of class " + found->second.owner);
    }
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(object) + found->second.offset);
}
