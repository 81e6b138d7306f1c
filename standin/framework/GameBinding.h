// What the framework learns from the game it runs in, as the real framework learns it from the
// game's symbols: the address behind each function name, the offset behind each field name, the
// place to patch in a function it hooks, and the class of a live object. The simulated game (game/) provides these.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct UWorld;
struct AShooterGameMode;

namespace standin::binding {

struct FunctionSymbol {
    std::string name; // "Class.Function"
    void* address = nullptr;
};

struct FieldSymbol {
    std::string name; // "Class.Field"; the class is the part before the dot
    std::size_t offset = 0;
};

// A game function the host can hook. The game enters it through jump, as a patched function
// enters through its first instruction; the host points jump at the newest detour, or back at body,
// the function's own code, which the oldest detour's original reaches.
struct HookableFunction {
    std::string name; // "Class.Function", also listed among GameFunctions()
    void* body = nullptr;
    void** jump = nullptr;
};

const std::vector<FunctionSymbol>& GameFunctions();
const std::vector<HookableFunction>& HookableFunctions();
const std::vector<FieldSymbol>& GameFields();
// The class name of a live game object; null when the address is no live game object.
const char* ClassOfObject(const void* object);
// True when derived is base or inherits from it.
bool ClassDerivesFrom(const std::string& derived, const std::string& base);

UWorld* CurrentWorld();
AShooterGameMode* CurrentGameMode();

} // namespace standin::binding
