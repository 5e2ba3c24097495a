#include "platform/ini_settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::TempDir;

TEST(SettingsStore, DefaultsArriveAsText) {
    TempDir dir;
    IniSettingsStore store(dir.file("RS05.ini"));
    EXPECT_EQ(store.get("grids", 0), "0");
    EXPECT_EQ(store.get("device", -1), "-1");
    EXPECT_EQ(store.get("right2left", false), "False");
    EXPECT_EQ(store.get("TournamentName", ""), "");
}

TEST(SettingsStore, KeysMatchWithoutRegardToCaseAndWritesReachTheNextRun) {
    TempDir dir;
    const std::string file = dir.file("cfg/RS05.ini");
    {
        IniSettingsStore store(file);
        EXPECT_TRUE(store.save("videoresolution", "2"));
        EXPECT_TRUE(store.save("logpath", "C:\\Videos\\Day 1, lake"));
        EXPECT_TRUE(store.save("TournamentName", "Spring = \"Open\"; #1"));
        EXPECT_EQ(store.get("VideoResolution", -1), "2");
        EXPECT_TRUE(store.save("VIDEORESOLUTION", "3"));
    }
    IniSettingsStore next(file);
    EXPECT_EQ(next.get("VideoResolution", -1), "3");
    EXPECT_EQ(next.get("LOGPATH", ""), "C:\\Videos\\Day 1, lake");
    EXPECT_EQ(next.get("tournamentname", ""), "Spring = \"Open\"; #1");
    EXPECT_FALSE(std::filesystem::exists(file + ".corrupt"));
}

TEST(SettingsStore, CorruptFileGivesDefaultsAndALogLine) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    test::spit(file, std::string("[Settings\nlogpath=/x\n\xff\xfe\0\x01", 22));
    std::vector<std::string> log;
    IniSettingsStore store(file, [&](const std::string& l) { log.push_back(l); });
    EXPECT_EQ(store.get("logpath", "none"), "none");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(file), std::string::npos);
    // The unreadable file is kept aside, and the next write makes a good store.
    EXPECT_TRUE(std::filesystem::exists(file + ".corrupt"));
    EXPECT_TRUE(store.save("barefoot", "1"));
    IniSettingsStore next(file);
    EXPECT_EQ(next.get("barefoot", 0), "1");
}

TEST(SettingsStore, FailedWriteIsLoggedAndKeptForTheRun) {
    TempDir dir;
    // A folder where the file should be: no write can succeed, even as root.
    const std::string file = dir.make_dir("RS05.ini");
    std::vector<std::string> log;
    IniSettingsStore store(file, [&](const std::string& l) { log.push_back(l); });
    EXPECT_FALSE(store.save("logpath", "/videos"));
    EXPECT_EQ(store.get("logpath", ""), "/videos");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("logpath"), std::string::npos);
}

}  // namespace
}  // namespace rs
