// The simulated game's state, shared by its control interface and its functions. Internal.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "standin/game/Classes.h"
#include "standin/game/GameTypes.h"
#include "standin/game/Objects.h"

namespace standin::game {

struct Player {
    std::string name;
    std::unique_ptr<AShooterPlayerController> controller; // null once the player has left
    std::unique_ptr<AShooterCharacter> character;
    std::unique_ptr<APlayerState> playerState;
    std::unique_ptr<UPrimalPlayerData> playerData;
    NewPlayerHandling newPlayer;
    Inbox inbox;
};

struct RconConnection {
    std::unique_ptr<RCONClientConnection> object; // null once closed
    std::vector<RconReply> replies;
};

struct WorldState {
    ObjectTable objects;
    std::unique_ptr<UWorld> world;
    std::vector<WeakObjectPtr> controllerList; // the storage behind world->PlayerControllerList
    std::unique_ptr<AShooterGameMode> gameMode;
    std::vector<std::unique_ptr<AShooterGameMode>> retiredGameModes;
    // The server's settings for the multipliers, in the order of MultiplierRows(): what every game
    // mode it builds starts with.
    std::vector<float> configuredMultipliers;
    bool gameModePresent = true;
    bool worldPresent = true;
    std::u16string messageOfTheDay; // the game's own copy
    int messageOfTheDayChanges = 0;
    std::map<std::uint32_t, Player> players;
    std::uint32_t nextPlayer = 1;
    std::uint64_t messagesDelivered = 0; // to every player, since the process started
    std::map<std::uint32_t, RconConnection> rconConnections;
    std::uint32_t nextRconConnection = 1;
};

WorldState& State();

// A new object of the layout T, its engine state filled with EngineStateByte.
template <typename T>
std::unique_ptr<T> NewObject()
{
    auto object = std::make_unique<T>();
    unsigned char* bytes = reinterpret_cast<unsigned char*>(object.get());
    for (std::size_t i = 0; i < sizeof(T); ++i) bytes[i] = EngineStateByte;
    return object;
}

// A loud failure naming the function when the address handed to it is no live object of the class.
void RequireLiveObject(const void* object, const char* className, const char* function);

// The player behind a controller handed to a game function; a loud failure naming the function
// when the address is no live player controller.
Player& PlayerOfController(const void* controller, const char* function);

// The connection behind an object handed to a game function; a loud failure naming the function when
// the address is no open RCON connection (closed ones are no live objects).
RconConnection& ConnectionOfObject(const void* connection, const char* function);

// The game's new-player handler as the game calls it: through the host's hooks.
inline constexpr const char* HandleNewPlayerName = "AShooterGameMode.HandleNewPlayer_Implementation";
bool HandleNewPlayer(AShooterGameMode* gameMode, AShooterPlayerController* controller, UPrimalPlayerData* data,
                     AShooterCharacter* character, bool fromLogin);
// A loud failure naming the function when the address is not the live game mode.
void RequireGameMode(const AShooterGameMode* gameMode, const char* function);

struct MultiplierRow {
    const char* name;
    std::size_t offset;
    float defaultValue;
};
const std::vector<MultiplierRow>& MultiplierRows();

} // namespace standin::game
