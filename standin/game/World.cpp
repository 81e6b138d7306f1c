// The simulated world: its game mode, its players and their controller list, and the control
// interface the server drives it through.
#include <cstddef>
#include <exception>
#include <stdexcept>

#include "standin/framework/Fatal.h"
#include "standin/framework/GameBinding.h"
#include "standin/framework/Hooks.h"
#include "standin/game/GameControl.h"
#include "standin/game/WorldState.h"
#include "util/Utf.h"

namespace standin::game {

namespace {

constexpr const char* ControllerClass = "AShooterPlayerController";

#define QV_MULTIPLIER(field, value)                                                                                    \
    MultiplierRow { #field, offsetof(AShooterGameModeLayout, field), value }

// A game mode as the server builds one, with the multipliers its settings give.
std::unique_ptr<AShooterGameMode> NewGameMode(const WorldState& state)
{
    auto gameMode = NewObject<AShooterGameMode>();
    const auto& rows = MultiplierRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        *reinterpret_cast<float*>(reinterpret_cast<unsigned char*>(gameMode.get()) + rows[i].offset) =
            state.configuredMultipliers[i];
    }
    return gameMode;
}

void Build(WorldState& state)
{
    state.world = NewObject<UWorld>();
    state.world->PlayerControllerList = GameArray<WeakObjectPtr>{};
    state.objects.Add(state.world.get(), "UWorld");
    state.configuredMultipliers.clear();
    for (const auto& row : MultiplierRows()) state.configuredMultipliers.push_back(row.defaultValue);
    state.gameMode = NewGameMode(state);
    state.objects.Add(state.gameMode.get(), "AShooterGameMode");
    state.gameModePresent = true;
    state.worldPresent = true;
}

// The world's array must describe the list's storage after every change.
void PublishControllerList(WorldState& state)
{
    auto& list = state.world->PlayerControllerList;
    list.Data = state.controllerList.empty() ? nullptr : state.controllerList.data();
    list.Num = static_cast<std::int32_t>(state.controllerList.size());
    list.Max = static_cast<std::int32_t>(state.controllerList.capacity());
}

Player& Known(PlayerId player)
{
    auto& players = State().players;
    const auto found = players.find(static_cast<std::uint32_t>(player));
    if (found == players.end()) {
        throw std::invalid_argument("no player with id " + std::to_string(static_cast<std::uint32_t>(player)));
    }
    return found->second;
}

Player& Connected(PlayerId player, const char* operation)
{
    Player& known = Known(player);
    if (known.controller == nullptr) {
        throw std::invalid_argument(std::string(operation) + ": player \"" + known.name + "\" has left the server");
    }
    return known;
}

const MultiplierRow& Row(std::string_view field)
{
    for (const auto& row : MultiplierRows()) {
        if (field == row.name) return row;
    }
    throw std::invalid_argument("no multiplier field named \"" + std::string(field) + "\"");
}

float& Field(const MultiplierRow& row)
{
    return *reinterpret_cast<float*>(reinterpret_cast<unsigned char*>(State().gameMode.get()) + row.offset);
}

// The game hands a player who has just joined to its new-player handler, once the player is in the
// world's list; without a game mode there is no handler to call.
void HandleJoin(WorldState& state, Player& player)
{
    if (!state.gameModePresent) return;
    player.newPlayer.called = true;
    try {
        player.newPlayer.result = HandleNewPlayer(state.gameMode.get(), player.controller.get(),
                                                  player.playerData.get(), player.character.get(), true);
    } catch (const std::exception& error) {
        hooks::ReportEscape(HandleNewPlayerName, error.what());
    } catch (...) {
        hooks::ReportEscape(HandleNewPlayerName, "an exception that is not a std::exception");
    }
}

} // namespace

WorldState& State()
{
    // Never destroyed: a plug-in may still reach the game while the process exits.
    static WorldState* state = [] {
        auto* made = new WorldState();
        Build(*made);
        return made;
    }();
    return *state;
}

const std::vector<MultiplierRow>& MultiplierRows()
{
    // The game's own table order; the defaults are distinct so that a value in the wrong field shows.
    static const std::vector<MultiplierRow> rows{
        QV_MULTIPLIER(XPMultiplier, 1.0f),
        QV_MULTIPLIER(TamingSpeedMultiplier, 2.0f),
        QV_MULTIPLIER(HarvestAmountMultiplier, 1.5f),
        QV_MULTIPLIER(HarvestHealthMultiplier, 1.25f),
        QV_MULTIPLIER(CraftXPMultiplier, 1.75f),
        QV_MULTIPLIER(FishingLootQualityMultiplier, 1.125f),
        QV_MULTIPLIER(BabyMatureSpeedMultiplier, 3.0f),
        QV_MULTIPLIER(MateBoostEffectMultiplier, 1.375f),
        QV_MULTIPLIER(MatingIntervalMultiplier, 0.75f),
        QV_MULTIPLIER(MatingSpeedMultiplier, 1.625f),
        QV_MULTIPLIER(EggHatchSpeedMultiplier, 2.5f),
        QV_MULTIPLIER(LayEggIntervalMultiplier, 0.875f),
        QV_MULTIPLIER(ResourcesRespawnPeriodMultiplier, 0.625f),
        QV_MULTIPLIER(SupplyCrateLootQualityMultiplier, 1.875f),
        QV_MULTIPLIER(StructureResistanceMultiplier, 0.5f),
        QV_MULTIPLIER(StructureDamageMultiplier, 2.25f),
    };
    return rows;
}

void RequireLiveObject(const void* object, const char* className, const char* function)
{
    const char* objectClass = object == nullptr ? nullptr : State().objects.ClassOf(object);
    if (objectClass == nullptr || !DerivesFrom(objectClass, className)) {
        LoudFailure(std::string(function) + ": the object is " +
                    (object == nullptr        ? std::string("null")
                     : objectClass == nullptr ? std::string("no live game object")
                                              : std::string("a ") + objectClass) +
                    ", not a live " + className);
    }
}

Player& PlayerOfController(const void* controller, const char* function)
{
    RequireLiveObject(controller, ControllerClass, function);
    const auto* layout = static_cast<const AShooterPlayerController*>(controller);
    return State().players.at(layout->playerId);
}

void Reset()
{
    WorldState& state = State();
    state.players.clear();
    state.controllerList.clear();
    state.objects.Clear();
    state.retiredGameModes.clear();
    state.messageOfTheDay.clear();
    state.messageOfTheDayChanges = 0;
    state.nextPlayer = 1;
    state.rconConnections.clear();
    state.nextRconConnection = 1;
    Build(state);
}

PlayerId Join(const PlayerProfile& profile)
{
    WorldState& state = State();
    const std::uint32_t id = state.nextPlayer++;
    Player player;
    player.name = profile.name;
    player.controller = NewObject<AShooterPlayerController>();
    player.controller->playerId = id;
    player.controller->character = nullptr;
    player.controller->playerController.controller.PlayerState = nullptr;
    if (profile.hasCharacter) {
        player.character = NewObject<AShooterCharacter>();
        player.character->bIsServerAdmin = profile.admin ? 1 : 0;
        player.controller->character = player.character.get();
        state.objects.Add(player.character.get(), "AShooterCharacter");
    }
    if (profile.hasPlayerState) {
        player.playerState = NewObject<APlayerState>();
        player.controller->playerController.controller.PlayerState = player.playerState.get();
        state.objects.Add(player.playerState.get(), "AShooterPlayerState");
    }
    player.playerData = NewObject<UPrimalPlayerData>();
    state.objects.Add(player.playerData.get(), "UPrimalPlayerData");
    state.controllerList.push_back(state.objects.Add(player.controller.get(), ControllerClass));
    PublishControllerList(state);
    Player& joined = state.players.emplace(id, std::move(player)).first->second;
    HandleJoin(state, joined);
    return static_cast<PlayerId>(id);
}

void Leave(PlayerId player)
{
    Player& leaving = Connected(player, "removing a player");
    WorldState& state = State();
    // The list keeps the entry: it now resolves to null, as a weak pointer to a destroyed object does.
    state.objects.Remove(leaving.controller.get());
    state.objects.Remove(leaving.character.get());
    state.objects.Remove(leaving.playerState.get());
    state.objects.Remove(leaving.playerData.get());
    leaving.controller.reset();
    leaving.character.reset();
    leaving.playerState.reset();
    leaving.playerData.reset();
}

bool IsConnected(PlayerId player) { return Known(player).controller != nullptr; }

AShooterPlayerController* ControllerOf(PlayerId player) { return Known(player).controller.get(); }

void SetAdmin(PlayerId player, bool admin)
{
    Player& known = Connected(player, "setting the admin byte");
    if (known.character == nullptr) {
        throw std::invalid_argument("setting the admin byte: player \"" + known.name + "\" has no character");
    }
    known.character->bIsServerAdmin = admin ? 1 : 0;
}

NewPlayerHandling NewPlayerHandlingOf(PlayerId player) { return Known(player).newPlayer; }

Inbox InboxOf(PlayerId player) { return Known(player).inbox; }

void ClearInboxes()
{
    for (auto& entry : State().players) entry.second.inbox = Inbox{};
}

void SetGameModePresent(bool present)
{
    WorldState& state = State();
    if (present == state.gameModePresent) return;
    // An absent game mode is no live object either, so a plug-in that kept its address is caught.
    // One that comes back is a new object with the server's settings, as a rebuilt world's is. The
    // old ones are kept (not live) until the server resets, so that no two share an address: a
    // plug-in tells game modes apart by their addresses.
    if (present) {
        state.retiredGameModes.push_back(std::move(state.gameMode));
        state.gameMode = NewGameMode(state);
        state.objects.Add(state.gameMode.get(), "AShooterGameMode");
    } else {
        state.objects.Remove(state.gameMode.get());
    }
    state.gameModePresent = present;
}

bool GameModePresent() { return State().gameModePresent; }

void SetWorldPresent(bool present)
{
    WorldState& state = State();
    if (present == state.worldPresent) return;
    // As with the game mode: an address kept from before is no live object while the world is down.
    if (present) {
        state.objects.Add(state.world.get(), "UWorld");
    } else {
        state.objects.Remove(state.world.get());
    }
    state.worldPresent = present;
}

bool WorldPresent() { return State().worldPresent; }

const std::vector<std::string>& MultiplierNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> made;
        for (const auto& row : MultiplierRows()) made.emplace_back(row.name);
        return made;
    }();
    return names;
}

float DefaultMultiplier(std::string_view field) { return Row(field).defaultValue; }

float Multiplier(std::string_view field) { return Field(Row(field)); }

void SetMultiplier(std::string_view field, float value) { Field(Row(field)) = value; }

void ConfigureMultiplier(std::string_view field, float value)
{
    const MultiplierRow& row = Row(field);
    State().configuredMultipliers[static_cast<std::size_t>(&row - MultiplierRows().data())] = value;
    Field(row) = value;
}

std::u16string MessageOfTheDay() { return State().messageOfTheDay; }

int MessageOfTheDayChanges() { return State().messageOfTheDayChanges; }

void SetMessageOfTheDay(std::u16string_view text) { State().messageOfTheDay = std::u16string(text); }

} // namespace standin::game

namespace standin::binding {

const char* ClassOfObject(const void* object) { return game::State().objects.ClassOf(object); }

bool ClassDerivesFrom(const std::string& derived, const std::string& base) { return game::DerivesFrom(derived, base); }

UWorld* CurrentWorld()
{
    auto& state = game::State();
    return state.worldPresent ? state.world.get() : nullptr;
}

AShooterGameMode* CurrentGameMode()
{
    auto& state = game::State();
    return state.gameModePresent ? state.gameMode.get() : nullptr;
}

} // namespace standin::binding
