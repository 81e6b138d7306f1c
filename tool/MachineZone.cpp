// The name comes from where the machine keeps it; the abbreviations from the C runtime, the clock the
// tool's local times are read on.
#include "tool/MachineZone.h"

#include <array>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <utility>

#include "plugin/schedule/TimeZone.h"

namespace qvtool {

namespace {

// "Europe/Berlin" from a path such as "/usr/share/zoneinfo/Europe/Berlin"; empty for anything else.
std::string ZoneOfPath(std::string_view path)
{
    constexpr std::string_view kFolder = "zoneinfo/";
    const std::size_t at = path.rfind(kFolder);
    if (at == std::string_view::npos) return {};
    const std::string name(path.substr(at + kFolder.size()));
    return qv::FindTimeZone(name) ? name : std::string();
}

std::string ZoneName()
{
    if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
        const std::string_view rule = *tz == ':' ? tz + 1 : tz;
        if (qv::FindTimeZone(rule)) return std::string(rule);
        return ZoneOfPath(rule);
    }
#if !defined(_WIN32)
    std::error_code error;
    const std::filesystem::path link = std::filesystem::read_symlink("/etc/localtime", error);
    if (!error) {
        if (std::string name = ZoneOfPath(link.generic_string()); !name.empty()) return name;
    }
    std::ifstream file("/etc/timezone");
    std::string name;
    if (std::getline(file, name) && qv::FindTimeZone(name)) return name;
#endif
    return {};
}

// The abbreviation the C runtime gives local time at a moment, and whether it is daylight time.
std::pair<std::string, bool> AbbreviationAt(std::time_t moment)
{
    std::tm local{};
#if defined(_WIN32)
    if (localtime_s(&local, &moment) != 0) return {};
#else
    if (localtime_r(&moment, &local) == nullptr) return {};
#endif
    std::array<char, 64> text{};
    std::strftime(text.data(), text.size(), "%Z", &local);
    return {text.data(), local.tm_isdst > 0};
}

} // namespace

MachineZone LocalMachineZone()
{
    MachineZone zone{ZoneName(), {}};
    const std::time_t now = std::time(nullptr);
    auto first = AbbreviationAt(now);
    auto second = AbbreviationAt(now + 182 * 24 * 3600);
    // Standard time first, as zones are named: EST/EDT.
    if (first.second && !second.second) std::swap(first, second);
    zone.Abbreviations = first.first;
    if (!second.first.empty() && second.first != first.first) zone.Abbreviations += "/" + second.first;
    return zone;
}

std::string MachineZoneText(const MachineZone& zone)
{
    if (zone.Name.empty()) return zone.Abbreviations;
    if (zone.Abbreviations.empty() || zone.Abbreviations == zone.Name) return zone.Name;
    return zone.Name + ", " + zone.Abbreviations;
}

std::string MachineTimeNote()
{
    return "Times are this machine's local time (" + MachineZoneText(LocalMachineZone()) +
           "); the plug-in uses the server's.";
}

} // namespace qvtool
