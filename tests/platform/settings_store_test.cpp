#include "platform/ini_settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/support/failing_file_writer.h"
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

// Values as officials type them: Windows paths, names with commas and
// quotes, and the odd value no line could hold as it is.
const std::vector<std::string>& awkward_values() {
    static const std::vector<std::string> v = {
        "C:\\new\\tests",
        "\\\\server\\share\\",
        "Lake, north.ipt",
        "a;b # c",
        "\"quoted\" and \\\"mixed\\\"",
        "\"",
        "@@at",
        "=x=",
        "  blanks at both ends\t",
        "two\r\nlines\n",
        "bell\x07 and \x7F",
        "caf\xC3\xA9 \xFF",
        "",
    };
    return v;
}

TEST(SettingsStore, EveryValueReadsBackExactlyAsWritten) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    {
        IniSettingsStore store(file);
        for (std::size_t i = 0; i < awkward_values().size(); ++i)
            EXPECT_TRUE(store.save("k" + std::to_string(i), awkward_values()[i]));
    }
    IniSettingsStore next(file);
    for (std::size_t i = 0; i < awkward_values().size(); ++i)
        EXPECT_EQ(next.get("k" + std::to_string(i), "missing"), awkward_values()[i]) << i;
    // What can stand alone on its line is written as it is, for the official
    // who opens the file in an editor; lines end in CR LF.
    const std::string text = test::slurp(file);
    EXPECT_NE(text.find("\r\nk0=C:\\new\\tests\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nk2=Lake, north.ipt\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nk9=\"two\\r\\nlines\\n\"\r\n"), std::string::npos);
}

TEST(SettingsStore, HandTypedValuesReadAsTyped) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    // A file typed from scratch: no first line of the store's own.
    test::spit(file,
               "[Settings]\nLogPath = C:\\new\\tests \nLastSetup=Lake, north.ipt\n"
               "Name=Spring; Open\n\n[Other]\nkeep=this\n");
    IniSettingsStore store(file);
    EXPECT_EQ(store.get("logpath", ""), "C:\\new\\tests");
    EXPECT_EQ(store.get("lastsetup", ""), "Lake, north.ipt");
    EXPECT_EQ(store.get("name", ""), "Spring; Open");
    EXPECT_EQ(store.get("keep", "none"), "none");
    // A write keeps the values and the other section.
    EXPECT_TRUE(store.save("grids", "2"));
    IniSettingsStore next(file);
    EXPECT_EQ(next.get("logpath", ""), "C:\\new\\tests");
    EXPECT_EQ(next.get("name", ""), "Spring; Open");
    EXPECT_NE(test::slurp(file).find("[Other]\r\nkeep=this\r\n"), std::string::npos);
}

TEST(SettingsStore, FilesOfTheEarlierWriterStayReadable) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    // As QSettings wrote them: backslashes doubled, quotes escaped, commas
    // and semicolons between quotes, "@" doubled.
    test::spit(file,
               "[Settings]\nlogpath=\"C:\\\\Videos\\\\Day 1, lake\"\n"
               "tournamentname=\"Spring = \\\"Open\\\"; #1\"\n"
               "folder=C:\\\\rsio\nmark=@@home\nvideoresolution=3\n");
    IniSettingsStore store(file);
    EXPECT_EQ(store.get("logpath", ""), "C:\\Videos\\Day 1, lake");
    EXPECT_EQ(store.get("tournamentname", ""), "Spring = \"Open\"; #1");
    EXPECT_EQ(store.get("folder", ""), "C:\\rsio");
    EXPECT_EQ(store.get("mark", ""), "@home");
    EXPECT_EQ(store.get("videoresolution", ""), "3");
}

TEST(SettingsStore, WritesGoThroughTheFileWriterAndAFailureKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    test::FailingFileWriter files;
    std::vector<std::string> log;
    IniSettingsStore store(
        file, [&](const std::string& l) { log.push_back(l); }, &files);
    ASSERT_TRUE(store.save("logpath", "/videos"));
    const std::string before = test::slurp(file);
    files.fail_after_bytes(20);
    EXPECT_FALSE(store.save("logpath", "/other"));
    files.heal();
    files.fail_at_rename();
    EXPECT_FALSE(store.save("logpath", "/third"));
    EXPECT_EQ(test::slurp(file), before);
    EXPECT_EQ(store.get("logpath", ""), "/third");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find(file + ": "), std::string::npos) << log[0];
    // No temporary file is left beside it.
    std::size_t entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(SettingsStore, NamesTheFileCannotHoldAreRefused) {
    TempDir dir;
    IniSettingsStore store(dir.file("RS05.ini"));
    EXPECT_FALSE(store.save("a=b", "1"));
    EXPECT_FALSE(store.save("[x]", "1"));
    EXPECT_FALSE(store.save("line\nbreak", "1"));
    EXPECT_FALSE(store.save("", "1"));
    EXPECT_TRUE(store.save("Plain_Name.2", "1"));
}

TEST(SettingsStore, AFileTooLargeOrNotAFileIsSetAsideAtOnce) {
    TempDir dir;
    const std::string file = dir.file("RS05.ini");
    test::spit(file, "[Settings]\nx=" + std::string(kSettingsFileLimit, 'a') + "\n");
    std::vector<std::string> log;
    IniSettingsStore store(file, [&](const std::string& l) { log.push_back(l); });
    EXPECT_EQ(store.get("x", "default"), "default");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log[0].find("too large"), std::string::npos) << log[0];
    EXPECT_TRUE(std::filesystem::exists(file + ".corrupt"));
}

}  // namespace
}  // namespace rs
