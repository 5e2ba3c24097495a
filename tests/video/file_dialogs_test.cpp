#include "video/file_dialogs.h"

#include <gtest/gtest.h>

#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::PromptKind;
using test::ScriptedDialogs;

TEST(FileDialogs, ThreeFilterSets) {
    ScriptedDialogs dialogs;
    dialogs.cancel_file().cancel_file().cancel_file();
    for (int kind = 0; kind < 3; ++kind)
        (void)ShowSaveDialog("", kind, dialogs);
    ASSERT_EQ(dialogs.prompts().size(), 3u);
    EXPECT_EQ(dialogs.prompts()[0].file.filter,
              "All Supported Types|*.bmp;*.jpg;*.pic|BMP Files|*.bmp|JPEG Files|*.jpg|"
              "ePIC Files|*.pic|");
    EXPECT_EQ(dialogs.prompts()[1].file.filter, "AVI File|*.avi|");
    EXPECT_EQ(dialogs.prompts()[2].file.filter, "CapturePro 3.0 profile (.cpf)|*.cpf|");
    for (const auto& p : dialogs.prompts()) {
        EXPECT_EQ(p.kind, PromptKind::SaveFile);
        EXPECT_EQ(p.file.filter_index, 1);
        EXPECT_EQ(p.file.file_name, "");
    }
    EXPECT_EQ(dialog_filter_set(0).default_extension, "jpg");
    EXPECT_EQ(dialog_filter_set(1).default_extension, "avi");
    EXPECT_EQ(dialog_filter_set(2).default_extension, "cpf");
}

TEST(FileDialogs, StartFolderAndCancel) {
    ScriptedDialogs dialogs;
    dialogs.cancel_file().cancel_file().cancel_file().cancel_file();
    EXPECT_EQ(ShowOpenDialog("C:\\Profiles\\day1.cpf", 2, dialogs), "C:\\Profiles\\day1.cpf");
    EXPECT_EQ(ShowOpenDialog("/home/op/videos/a.avi", 1, dialogs), "/home/op/videos/a.avi");
    EXPECT_EQ(ShowSaveDialog("day1.cpf", 2, dialogs), "day1.cpf");
    EXPECT_EQ(ShowSaveDialog("", 0, dialogs), "");
    const auto& p = dialogs.prompts();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].kind, PromptKind::OpenFile);
    EXPECT_EQ(p[0].file.initial_folder, "C:\\Profiles");
    EXPECT_EQ(p[1].file.initial_folder, "/home/op/videos");
    EXPECT_EQ(p[2].file.initial_folder, "");
    EXPECT_EQ(p[3].file.initial_folder, "");
}

TEST(FileDialogs, ChosenPathWithTheDefaultExtension) {
    test::TempDir tmp;
    const std::string plain = tmp.file("README");
    test::spit(plain, "x");
    ScriptedDialogs dialogs;
    dialogs.file("/p/profile").file("/p/shot.bmp").file("/p.d/video").file(plain);
    EXPECT_EQ(ShowSaveDialog("", 2, dialogs), "/p/profile.cpf");
    EXPECT_EQ(ShowSaveDialog("", 0, dialogs), "/p/shot.bmp");
    EXPECT_EQ(ShowOpenDialog("", 1, dialogs), "/p.d/video.avi");
    // An existing file picked as it stands keeps its name.
    EXPECT_EQ(ShowOpenDialog("", 1, dialogs), plain);
}

}  // namespace
}  // namespace rs
