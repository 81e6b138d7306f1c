// The game's side of RCON: the connection objects of its listener's clients, and what it sent each of
// them, through the plug-ins' replies or its own.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "standin/game/GameControl.h"
#include "standin/game/WorldState.h"

namespace standin::game {

namespace {

constexpr const char* ConnectionClass = "RCONClientConnection";

RconConnection& Known(RconConnectionId connection)
{
    auto& connections = State().rconConnections;
    const auto found = connections.find(static_cast<std::uint32_t>(connection));
    if (found == connections.end()) {
        throw std::invalid_argument("no RCON connection with id " +
                                    std::to_string(static_cast<std::uint32_t>(connection)));
    }
    return found->second;
}

// The command's name as a game server repeats it: the line's first word.
std::string_view FirstWord(std::string_view line)
{
    const std::size_t begin = line.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    const std::size_t end = line.find_first_of(" \t\r\n", begin);
    return line.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

} // namespace

RconConnection& ConnectionOfObject(const void* connection, const char* function)
{
    RequireLiveObject(connection, ConnectionClass, function);
    const auto* layout = static_cast<const RCONClientConnection*>(connection);
    return State().rconConnections.at(layout->connectionId);
}

RconConnectionId OpenRconConnection()
{
    WorldState& state = State();
    const std::uint32_t id = state.nextRconConnection++;
    RconConnection connection;
    connection.object = NewObject<RCONClientConnection>();
    connection.object->connectionId = id;
    state.objects.Add(connection.object.get(), ConnectionClass);
    state.rconConnections.emplace(id, std::move(connection));
    return static_cast<RconConnectionId>(id);
}

void CloseRconConnection(RconConnectionId connection)
{
    RconConnection& known = Known(connection);
    if (known.object == nullptr) {
        throw std::invalid_argument("RCON connection " + std::to_string(static_cast<std::uint32_t>(connection)) +
                                    " is closed already");
    }
    State().objects.Remove(known.object.get());
    known.object.reset();
}

RCONClientConnection* RconConnectionObject(RconConnectionId connection) { return Known(connection).object.get(); }

std::vector<RconReply> RconRepliesSince(RconConnectionId connection, std::size_t from)
{
    const std::vector<RconReply>& replies = Known(connection).replies;
    return std::vector<RconReply>(replies.begin() + static_cast<std::ptrdiff_t>(std::min(from, replies.size())),
                                  replies.end());
}

std::size_t RconReplyCount(RconConnectionId connection) { return Known(connection).replies.size(); }

void AnswerUnknownRconCommand(RconConnectionId connection, std::int32_t requestId, std::string_view line)
{
    constexpr std::int32_t responseValue = 0;
    Known(connection)
        .replies.push_back(
            RconReply{requestId, responseValue, "Unknown command \"" + std::string(FirstWord(line)) + "\""});
}

} // namespace standin::game
