// The twelve settings decoded from the config file's section, and the kept parsed document.
#pragma once

#include <cstdint>

#include <nlohmann/json.hpp>

#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

struct Settings {
    FString ServerName;
    bool Notification = true;
    bool Chatbox = false;
    MessageColor EnabledColor{0.0f, 1.0f, 0.0f, 1.0f};
    FString EnabledMessage;
    MessageColor DisabledColor{1.0f, 0.0f, 0.0f, 1.0f};
    FString DisabledMessage;
    bool MOTDChangeEnabled = false;
    FString WeekendMOTD;
    FString NormalMOTD;
    std::int32_t StartDay = 0;
    std::int32_t EndDay = 0;
};

// Written only by LoadConfig, and then only whole.
extern Settings PluginSettings;
// Null until the first successful load; the weekend multipliers are read from it at each switch-on.
extern nlohmann::json ConfigDocument;
