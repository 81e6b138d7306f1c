// The object table and the class hierarchy of the simulated game.
#include "standin/game/Objects.h"

#include <map>

#include "standin/framework/Fatal.h"

namespace standin::game {

WeakObjectPtr ObjectTable::Add(void* object, const char* className)
{
    std::int32_t index = 0;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        index = static_cast<std::int32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& slot = slots_[static_cast<std::size_t>(index)];
    slot.object = object;
    ++slot.serial;
    live_[object] = Live{className, index};
    return WeakObjectPtr{index, slot.serial};
}

void ObjectTable::Remove(const void* object)
{
    const auto found = live_.find(object);
    if (found == live_.end()) return;
    slots_[static_cast<std::size_t>(found->second.index)].object = nullptr;
    freeSlots_.push_back(found->second.index);
    live_.erase(found);
}

const char* ObjectTable::ClassOf(const void* object) const
{
    const auto found = live_.find(object);
    return found == live_.end() ? nullptr : found->second.className;
}

void* ObjectTable::Resolve(const WeakObjectPtr& pointer, const char* where) const
{
    if (pointer.ObjectIndex == -1) return nullptr;
    if (pointer.ObjectIndex < 0 || static_cast<std::size_t>(pointer.ObjectIndex) >= slots_.size()) {
        LoudFailure(std::string(where) + ": weak pointer {index " + std::to_string(pointer.ObjectIndex) + ", serial " +
                    std::to_string(pointer.ObjectSerialNumber) +
                    "} holds an index no object ever had: it is garbage, not a weak pointer");
    }
    const Slot& slot = slots_[static_cast<std::size_t>(pointer.ObjectIndex)];
    return slot.serial == pointer.ObjectSerialNumber ? slot.object : nullptr;
}

void ObjectTable::Clear()
{
    slots_.clear();
    freeSlots_.clear();
    live_.clear();
}

bool DerivesFrom(const std::string& derived, const std::string& base)
{
    static const std::map<std::string, std::string> parents{
        {"AActor", "UObject"},
        {"UWorld", "UObject"},
        {"AGameModeBase", "AInfo"},
        {"AGameMode", "AGameModeBase"},
        {"AShooterGameMode", "AGameMode"},
        {"AInfo", "AActor"},
        {"APlayerState", "AInfo"},
        {"AShooterPlayerState", "APlayerState"},
        {"AController", "AActor"},
        {"APlayerController", "AController"},
        {"AShooterPlayerController", "APlayerController"},
        {"APawn", "AActor"},
        {"ACharacter", "APawn"},
        {"AShooterCharacter", "ACharacter"},
        {"RCONClientConnection", "UObject"},
    };
    std::string current = derived;
    while (true) {
        if (current == base) return true;
        const auto parent = parents.find(current);
        if (parent == parents.end()) return false;
        current = parent->second;
    }
}

} // namespace standin::game
