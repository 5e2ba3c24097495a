#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/ini_settings_store.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

// The folder rules the officials' machines run by: drive letters,
// backslashes and the exchange folder at the root of the program's drive.
TEST(Paths, FoldersNamesAndTheExchangeFolderOnThisSystem) {
#ifdef _WIN32
    EXPECT_EQ(join_path("C:\\Rampsight", "RS05.ini"), "C:\\Rampsight\\RS05.ini");
    EXPECT_EQ(join_path("C:\\Rampsight\\", "x.bmp"), "C:\\Rampsight\\x.bmp");
    EXPECT_EQ(join_path("D:/videos/", "x.avi"), "D:/videos/x.avi");
    EXPECT_EQ(strip_trailing_separator("E:\\jumps\\"), "E:\\jumps");
    EXPECT_EQ(exchange_folder_for("C:\\Program Files\\Rampsight"), "C:\\rsio");
    EXPECT_EQ(exchange_folder_for("D:\\RS05"), "D:\\rsio");
    EXPECT_EQ(exchange_folder_for("d:/tools/rs"), "d:/rsio");
    EXPECT_TRUE(PathExists("C:\\", 2));
    EXPECT_TRUE(PathExists("C:\\Windows\\", 1));
    const std::string settings = IniSettingsStore::default_file_path();
    EXPECT_EQ(settings.substr(1, 2), ":\\") << settings;
    EXPECT_EQ(settings.substr(settings.size() - 14), "\\RS05\\RS05.ini") << settings;
#else
    EXPECT_EQ(join_path("/opt/rampsight", "RS05.ini"), "/opt/rampsight/RS05.ini");
    EXPECT_EQ(join_path("/opt/rampsight/", "x.bmp"), "/opt/rampsight/x.bmp");
    EXPECT_EQ(strip_trailing_separator("/videos/"), "/videos");
    EXPECT_EQ(exchange_folder_for("/opt/rampsight"), "/rsio");
    EXPECT_TRUE(PathExists("/", 2));
    EXPECT_TRUE(PathExists("/tmp/", 1));
    EXPECT_EQ(IniSettingsStore::default_file_path().rfind("/RS05/RS05.ini"),
              IniSettingsStore::default_file_path().size() - 14);
#endif
    EXPECT_EQ(join_path("", "RS05.ini"), "RS05.ini");
    EXPECT_FALSE(PathExists("", 0));
}

// Run from the build folder the pictures and manual are beside the program;
// installed, they are in ../share/rampsight from it.
TEST(Paths, AssetsBesideTheProgramOrInTheInstalledDataFolder) {
    test::TempDir tmp;
    const std::string build = tmp.make_dir("build");
    test::spit(join_path(build, "RS05Manual.rtf"), "{\\rtf1}");
    EXPECT_EQ(asset_folder_for(build), build);

    const std::string bin = tmp.make_dir(join_path("usr", "bin"));
    const std::string share = tmp.make_dir(join_path("usr", join_path("share", "rampsight")));
    EXPECT_EQ(asset_folder_for(bin), bin);  // nothing installed yet
    test::spit(join_path(share, "RS05Manual.rtf"), "{\\rtf1}");
    EXPECT_EQ(asset_folder_for(bin), share);
    EXPECT_EQ(asset_folder_for(bin + kPathSeparator), share);
}

}  // namespace
}  // namespace rs
