// The game's object table: which addresses are live objects of which class, and the index and
// serial number behind each weak pointer. A slot freed by a destroyed object is reused with a new
// serial number, so an old weak pointer to it resolves to null, never to the newcomer.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "standin/game/Classes.h"

namespace standin::game {

class ObjectTable {
public:
    WeakObjectPtr Add(void* object, const char* className);
    void Remove(const void* object);
    // Null when the address is no live object.
    const char* ClassOf(const void* object) const;
    // Null for a destroyed object or the empty weak pointer (index -1); a loud failure for an
    // index this table never gave out, which only a garbled weak pointer can hold.
    void* Resolve(const WeakObjectPtr& pointer, const char* where) const;
    void Clear();

private:
    struct Slot {
        void* object = nullptr;
        std::int32_t serial = 0;
    };
    struct Live {
        const char* className = nullptr;
        std::int32_t index = 0;
    };
    std::vector<Slot> slots_;
    std::vector<std::int32_t> freeSlots_;
    std::unordered_map<const void*, Live> live_;
};

bool DerivesFrom(const std::string& derived, const std::string& base);

} // namespace standin::game
