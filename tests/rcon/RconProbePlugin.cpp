// A plug-in library with RCON commands of its own, for the tests and the benchmark of serve's RCON
// until the real plug-in registers its own. It answers through the plug-in's host bridge
// (qv::Game::SendRconReply), as the real plug-in will:
//   echo TEXT   answers TEXT
//   long N      answers N bytes of "abcdefgh" and a two-byte character, over and over
//   thread [TAG] "game thread" when it runs on the thread that loaded the library (the game thread),
//               "OFF THE GAME THREAD" otherwise; then the tag, if any
//   count       how many RCON commands of this library have run, this one included
//   silent      answers nothing
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "plugin/host/ArkApi.h"
#include "plugin/host/FString.h"
#include "plugin/host/Game.h"
#include "plugin/host/RCONPacket.h"
#include "util/Utf.h"

namespace {

const std::thread::id gameThread = std::this_thread::get_id();
std::atomic<long> commandsRun{0};

const char* const kNames[] = {"echo", "long", "thread", "count", "silent"};

// The line without its first word and the blank after it.
std::string Argument(const RCONPacket& packet)
{
    const std::string line = packet.Body.ToUtf8();
    const std::size_t space = line.find(' ');
    return space == std::string::npos ? std::string() : line.substr(space + 1);
}

std::string Answer(const std::string& name, const std::string& argument)
{
    if (name == "echo") return argument;
    if (name == "long") {
        const std::string pattern = "abcdefgh\xC3\xA9";
        std::string text;
        const auto bytes = static_cast<std::size_t>(std::strtoul(argument.c_str(), nullptr, 10));
        while (text.size() < bytes) text += pattern;
        return text.substr(0, bytes);
    }
    if (name == "thread") {
        return std::string(std::this_thread::get_id() == gameThread ? "game thread" : "OFF THE GAME THREAD") +
               (argument.empty() ? "" : " " + argument);
    }
    return std::to_string(commandsRun.load());
}

struct Commands {
    Commands()
    {
        for (const char* name : kNames) {
            const std::string command = name;
            ArkApi::GetCommands().RegisterRconCommand(
                FString(command), [command](RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
                    ++commandsRun;
                    if (command == "silent") return;
                    const FString text(util::Utf8ToUtf16(Answer(command, Argument(*packet))));
                    qv::Game::SendRconReply(connection, packet->Id, text);
                });
        }
    }
    ~Commands()
    {
        for (const char* name : kNames) ArkApi::GetCommands().UnregisterRconCommand(FString(name));
    }
};

const Commands commands;

} // namespace
