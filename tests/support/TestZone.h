// The time zone with daylight saving that a test executable was given (qv_add_test's ZONE, a POSIX
// rule in QV_TEST_ZONE), in force for the life of the object; the zone before comes back after.
// On Linux the C library reads the rule from TZ. The Windows C runtime misreads such a TZ (under
// Wine it applies no daylight saving), so there the zone is the system's: ctest runs the executable
// with the rule in TZ for Wine, cmake/wine-run.sh keeps TZ from the program, and here the C
// runtime's own TZ, which a test's main may have set, is cleared.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#if !defined(QV_TEST_ZONE)
#error "qv_add_test(... ZONE <rule>) gives a test executable its time zone"
#endif

namespace testing_support {

class TestZone {
public:
    static constexpr const char* Rule = QV_TEST_ZONE;

    TestZone() : previous_(Current())
    {
#if defined(_WIN32)
        Set(std::nullopt);
#else
        Set(Rule);
#endif
    }
    ~TestZone() { Set(previous_); }
    TestZone(const TestZone&) = delete;
    TestZone& operator=(const TestZone&) = delete;

    // Whether the C runtime applies a daylight-saving rule: noon on 1 July is summer time.
    static bool Honoured()
    {
        std::tm july{};
        july.tm_year = 2025 - 1900;
        july.tm_mon = 6;
        july.tm_mday = 1;
        july.tm_hour = 12;
        july.tm_isdst = -1;
        return std::mktime(&july) != -1 && july.tm_isdst > 0;
    }

    // Why a test would see another zone.
    static std::string Advice()
    {
        return std::string("the local time zone must follow ") + Rule +
               " (under Wine, run the test through ctest, which gives Wine that TZ)";
    }

private:
    static std::optional<std::string> Current()
    {
        const char* zone = std::getenv("TZ");
        return zone != nullptr ? std::optional<std::string>(zone) : std::nullopt;
    }

    static void Set(const std::optional<std::string>& zone)
    {
#if defined(_WIN32)
        _putenv_s("TZ", zone ? zone->c_str() : "");
        _tzset();
#else
        if (zone) {
            setenv("TZ", zone->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
#endif
    }

    std::optional<std::string> previous_;
};

} // namespace testing_support
