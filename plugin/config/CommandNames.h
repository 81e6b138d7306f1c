// The names the plug-in registers with the host, in the order it registers them: a config's status
// command may take none of them.
#pragma once

#include <array>

namespace qv {

inline constexpr const char* kReloadChatCommand = "/qvreload";
inline constexpr const char* kReloadConsoleCommand = "qvreload";
inline constexpr const char* kCheckTimer = "QuorvandelleCheck";
inline constexpr const char* kToggleChatCommand = "/ToggleQuorvandelle";

inline constexpr std::array<const char*, 4> kPluginRegistrations = {kReloadChatCommand, kReloadConsoleCommand,
                                                                    kCheckTimer, kToggleChatCommand};

} // namespace qv
