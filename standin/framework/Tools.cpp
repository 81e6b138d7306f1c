// ArkApi::Tools and IApiUtils: the base directory, UTF-8 decoding, the current world and game mode,
// and the server's status.
#include "standin/framework/Tools.h"

#include <filesystem>
#include <system_error>

#include "plugin/host/ArkApi.h"
#include "standin/framework/GameBinding.h"
#include "util/Utf.h"

namespace standin::tools {

namespace {

std::string& BaseDirectory()
{
    static auto* directory = new std::string();
    return *directory;
}

class ApiUtils final : public ArkApi::IApiUtils {
public:
    UWorld* CurrentWorld() const override { return binding::CurrentWorld(); }
    AShooterGameMode* CurrentGameMode() const override { return binding::CurrentGameMode(); }
    ArkApi::ServerStatus GetStatus() const override
    {
        return binding::CurrentWorld() != nullptr ? ArkApi::ServerStatus::Ready : ArkApi::ServerStatus::Loading;
    }
    // The simulated game has no cheat manager, and its players no Steam ids.
    AShooterCheatManager* GetCheatManager() const override { return nullptr; }

private:
    AShooterPlayerController* FindPlayerFromSteamId_Internal(std::uint64_t) const override { return nullptr; }
};

} // namespace

void SetCurrentDir(const std::string& directory) { BaseDirectory() = directory; }

} // namespace standin::tools

std::string ArkApi::Tools::GetCurrentDir()
{
    const std::string& directory = standin::tools::BaseDirectory();
    if (!directory.empty()) return directory;
    std::error_code error;
    const auto working = std::filesystem::current_path(error);
    return error ? std::string(".") : working.u8string();
}

std::wstring ArkApi::Tools::Utf8Decode(const std::string& text) { return util::Utf8ToWide(text); }

ArkApi::IApiUtils& ArkApi::GetApiUtils()
{
    static auto* utils = new standin::tools::ApiUtils();
    return *utils;
}
