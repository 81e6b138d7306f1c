// Name resolution: every function and field name the plug-in uses resolves, fields land inside
// the right object, and every misuse is a loud failure that names the culprit.
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/standin/StandinTest.h"

namespace {

using standin_test::Field;
using standin_test::ServerTest;

const std::vector<std::string> FunctionNames{
    "AShooterGameMode.SetMessageOfTheDay",
    "AShooterPlayerController.GetPlayerCharacter",
    "AShooterPlayerController.ClientChatMessage",
    "AShooterPlayerController.ClientServerChatDirectMessage",
    "AShooterPlayerController.ClientServerSOTFNotificationCustom",
    "FWeakObjectPtr.Get",
    "FMemory.Malloc",
    "FMemory.Realloc",
    "FMemory.Free",
};

const std::vector<std::string> MultiplierFields{
    "XPMultiplier",
    "TamingSpeedMultiplier",
    "HarvestAmountMultiplier",
    "HarvestHealthMultiplier",
    "CraftXPMultiplier",
    "FishingLootQualityMultiplier",
    "BabyMatureSpeedMultiplier",
    "MateBoostEffectMultiplier",
    "MatingIntervalMultiplier",
    "MatingSpeedMultiplier",
    "EggHatchSpeedMultiplier",
    "LayEggIntervalMultiplier",
    "ResourcesRespawnPeriodMultiplier",
    "SupplyCrateLootQualityMultiplier",
    "StructureResistanceMultiplier",
    "StructureDamageMultiplier",
};

using NameResolution = ServerTest;
using NameResolutionDeathTest = ServerTest;

TEST_F(NameResolution, EveryFunctionNameResolvesToItsOwnAddress)
{
    std::set<void*> addresses;
    for (const auto& name : FunctionNames) {
        void* address = GetAddress(name);
        EXPECT_NE(address, nullptr) << name;
        addresses.insert(address);
    }
    EXPECT_EQ(addresses.size(), FunctionNames.size());
}

TEST_F(NameResolution, TheServerListsTheSixteenMultipliersInTableOrder)
{
    EXPECT_EQ(standin::Server::MultiplierNames(), MultiplierFields);
    std::set<float> defaults;
    for (const auto& name : MultiplierFields) {
        const float value = standin::Server::DefaultMultiplier(name);
        EXPECT_GT(value, 0.0f) << name;
        EXPECT_EQ(server.Multiplier(name), value) << name;
        defaults.insert(value);
    }
    // Distinct defaults make a value that lands in the wrong field visible.
    EXPECT_EQ(defaults.size(), MultiplierFields.size());
}

TEST_F(NameResolution, EachMultiplierFieldIsTheFieldTheServerReportsAndNoOther)
{
    AShooterGameMode* gameMode = ArkApi::GetApiUtils().CurrentGameMode();
    ASSERT_NE(gameMode, nullptr);
    std::set<std::uint64_t> addresses;
    for (std::size_t i = 0; i < MultiplierFields.size(); ++i) {
        const std::string name = "AShooterGameMode." + MultiplierFields[i];
        const std::uint64_t address = GetAddress(gameMode, name);
        EXPECT_GT(address, reinterpret_cast<std::uintptr_t>(gameMode)) << name << " sits at offset 0";
        addresses.insert(address);
        EXPECT_EQ(Field<float>(gameMode, name.c_str()), server.Multiplier(MultiplierFields[i])) << name;
        Field<float>(gameMode, name.c_str()) = 100.0f + static_cast<float>(i);
    }
    EXPECT_EQ(addresses.size(), MultiplierFields.size());
    for (std::size_t i = 0; i < MultiplierFields.size(); ++i) {
        EXPECT_EQ(server.Multiplier(MultiplierFields[i]), 100.0f + static_cast<float>(i)) << MultiplierFields[i];
    }
    server.SetMultiplier("CraftXPMultiplier", -7.5f);
    EXPECT_EQ(Field<float>(gameMode, "AShooterGameMode.CraftXPMultiplier"), -7.5f);
}

TEST_F(NameResolution, PlayerFieldsResolveOnTheirObjectsAndThroughBaseClasses)
{
    const auto admin = server.JoinPlayer({"Admin", true});
    const auto plain = server.JoinPlayer({"Plain", false});
    const auto stateless = server.JoinPlayer({"Stateless", false, true, false});
    using GetCharacter = AShooterCharacter* (*)(AShooterPlayerController*);
    const auto character = standin_test::Function<GetCharacter>("AShooterPlayerController.GetPlayerCharacter");

    // "AController.PlayerState" is a field of a base class of the player controller.
    EXPECT_NE(Field<void*>(server.Controller(admin), "AController.PlayerState"), nullptr);
    EXPECT_EQ(Field<void*>(server.Controller(stateless), "AController.PlayerState"), nullptr);
    EXPECT_EQ(Field<std::uint8_t>(character(server.Controller(admin)), "AShooterCharacter.bIsServerAdmin"), 1);
    EXPECT_EQ(Field<std::uint8_t>(character(server.Controller(plain)), "AShooterCharacter.bIsServerAdmin"), 0);
    server.SetAdmin(plain, true);
    EXPECT_NE(Field<std::uint8_t>(character(server.Controller(plain)), "AShooterCharacter.bIsServerAdmin"), 0);
}

TEST_F(NameResolutionDeathTest, UnknownNamesAreLoudFailuresNamingTheName)
{
    EXPECT_DEATH(GetAddress(std::string("AShooterGameMode.NoSuchFunction")),
                 "GetAddress\\(\"AShooterGameMode.NoSuchFunction\"\\): no such game function");
    EXPECT_DEATH(GetAddress(std::string("AShooterGameMode.XPMultiplier")), "it is a field");
    AShooterGameMode* gameMode = ArkApi::GetApiUtils().CurrentGameMode();
    EXPECT_DEATH(GetAddress(gameMode, "AShooterGameMode.XPMultiplyer"),
                 "\"AShooterGameMode.XPMultiplyer\"\\): no such game field");
    EXPECT_DEATH(GetAddress(gameMode, "FMemory.Malloc"), "it is a function");
    // Names are exact: the real game's names are case-sensitive too.
    EXPECT_DEATH(GetAddress(gameMode, "AShooterGameMode.xpmultiplier"), "no such game field");
}

TEST_F(NameResolutionDeathTest, FieldsOfTheWrongObjectAreLoudFailures)
{
    const auto player = server.JoinPlayer({"Player", true});
    AShooterPlayerController* controller = server.Controller(player);
    AShooterGameMode* gameMode = ArkApi::GetApiUtils().CurrentGameMode();
    EXPECT_DEATH(GetAddress(controller, "AShooterGameMode.XPMultiplier"),
                 "the object is a AShooterPlayerController, which has no field of class AShooterGameMode");
    EXPECT_DEATH(GetAddress(controller, "AShooterCharacter.bIsServerAdmin"), "no field of class AShooterCharacter");
    EXPECT_DEATH(GetAddress(gameMode, "AController.PlayerState"), "the object is a AShooterGameMode");
    EXPECT_DEATH(GetAddress(nullptr, "AController.PlayerState"), "the object is null");
    int local = 0;
    EXPECT_DEATH(GetAddress(&local, "AController.PlayerState"), "no live game object");
    server.RemovePlayer(player);
    EXPECT_DEATH(GetAddress(controller, "AController.PlayerState"), "no live game object");
}

TEST_F(NameResolutionDeathTest, AGameModeKeptWhileAbsentIsNoLiveObjectAndAReturningOneIsNew)
{
    AShooterGameMode* gameMode = ArkApi::GetApiUtils().CurrentGameMode();
    server.ConfigureMultiplier("XPMultiplier", 4.0f);
    server.SetMultiplier("XPMultiplier", 9.0f);
    server.RemoveGameMode();
    EXPECT_EQ(ArkApi::GetApiUtils().CurrentGameMode(), nullptr);
    EXPECT_DEATH(GetAddress(gameMode, "AShooterGameMode.XPMultiplier"), "no live game object");
    server.RestoreGameMode();
    AShooterGameMode* rebuilt = ArkApi::GetApiUtils().CurrentGameMode();
    EXPECT_NE(rebuilt, gameMode);
    EXPECT_DEATH(GetAddress(gameMode, "AShooterGameMode.XPMultiplier"), "no live game object");
    EXPECT_EQ(Field<float>(rebuilt, "AShooterGameMode.XPMultiplier"), 4.0f)
        << "the server's setting, not the old value";
    // Never the address of one that came before.
    server.RemoveGameMode();
    server.RestoreGameMode();
    EXPECT_NE(ArkApi::GetApiUtils().CurrentGameMode(), gameMode);
    EXPECT_NE(ArkApi::GetApiUtils().CurrentGameMode(), rebuilt);
}

} // namespace
