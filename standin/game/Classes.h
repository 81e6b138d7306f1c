// The simulated game's object layouts. Only what the plug-in reaches by name is a real field; the
// rest is engine state a plug-in has no business reading, laid so that named fields sit at
// irregular offsets and the sixteen multipliers are neither contiguous nor in the plug-in's order.
// Every layout is standard-layout, so the name table can take offsetof of each field.
#pragma once

#include <cstdint>
#include <type_traits>

struct UWorld;
struct AShooterGameMode;
struct AShooterCharacter;
struct RCONClientConnection;
struct UPrimalPlayerData;

namespace standin::game {

struct WeakObjectPtr {
    std::int32_t ObjectIndex = -1;
    std::int32_t ObjectSerialNumber = 0;
};
static_assert(sizeof(WeakObjectPtr) == 8, "weak pointer layout");

template <typename T>
struct GameArray {
    T* Data = nullptr;
    std::int32_t Num = 0;
    std::int32_t Max = 0;
};
static_assert(sizeof(GameArray<int>) == 16, "array layout");

// Filled with this byte, the engine state turns a read at a wrong offset into a visible oddity:
// an admin byte that is set, a multiplier that is a tiny negative number.
constexpr unsigned char EngineStateByte = 0xA5;

struct APlayerState {
    unsigned char engineState[0x3F8];
};

struct AController {
    unsigned char actorState[0x428];
    APlayerState* PlayerState;
    unsigned char controllerState[0x58];
};

struct APlayerController {
    AController controller;
    unsigned char playerControllerState[0x6B0];
};

struct AShooterPlayerControllerLayout {
    APlayerController playerController;
    unsigned char shooterState[0x1C4];
    std::uint32_t playerId; // the game's own bookkeeping; no name reaches it
    AShooterCharacter* character;
    unsigned char moreState[0x90];
};

struct AShooterCharacterLayout {
    unsigned char pawnState[0x1153];
    std::uint8_t bIsServerAdmin;
    unsigned char moreState[0x2C];
};

// What the game keeps of a player between sessions; a plug-in only passes it on.
struct UPrimalPlayerDataLayout {
    unsigned char engineState[0x4A8];
};

struct UWorldLayout {
    unsigned char engineState[0x2E8];
    GameArray<WeakObjectPtr> PlayerControllerList;
    unsigned char moreState[0x110];
};

struct AShooterGameModeLayout {
    unsigned char actorState[0x4D0];
    float XPMultiplier;
    float TamingSpeedMultiplier;
    unsigned char rulesState[0x24];
    float HarvestAmountMultiplier;
    float HarvestHealthMultiplier;
    float ResourcesRespawnPeriodMultiplier;
    unsigned char tribeState[0x40];
    float StructureDamageMultiplier;
    float StructureResistanceMultiplier;
    unsigned char spawnState[0x18];
    float MatingIntervalMultiplier;
    float EggHatchSpeedMultiplier;
    float BabyMatureSpeedMultiplier;
    float MatingSpeedMultiplier;
    float LayEggIntervalMultiplier;
    unsigned char breedingState[0x0C];
    float CraftXPMultiplier;
    float FishingLootQualityMultiplier;
    float SupplyCrateLootQualityMultiplier;
    unsigned char lootState[0x34];
    float MateBoostEffectMultiplier;
    unsigned char moreState[0x80];
};

// A client of the game's RCON listener: opaque to a plug-in, which only hands it back to
// "RCONClientConnection.SendMessageW".
struct RconConnectionLayout {
    unsigned char socketState[0x88];
    std::uint32_t connectionId; // the game's own bookkeeping; no name reaches it
    unsigned char moreState[0x34];
};

static_assert(std::is_standard_layout_v<AController> && std::is_standard_layout_v<APlayerController> &&
                  std::is_standard_layout_v<AShooterPlayerControllerLayout> &&
                  std::is_standard_layout_v<AShooterCharacterLayout> && std::is_standard_layout_v<UWorldLayout> &&
                  std::is_standard_layout_v<AShooterGameModeLayout>,
              "name offsets are taken with offsetof");

} // namespace standin::game

// The contract's opaque classes are these layouts; a player controller starts with its
// APlayerController and AController parts, so one address serves all three.
struct UWorld : standin::game::UWorldLayout {};
struct AShooterGameMode : standin::game::AShooterGameModeLayout {};
struct AShooterPlayerController : standin::game::AShooterPlayerControllerLayout {};
struct AShooterCharacter : standin::game::AShooterCharacterLayout {};
struct RCONClientConnection : standin::game::RconConnectionLayout {};
struct UPrimalPlayerData : standin::game::UPrimalPlayerDataLayout {};
