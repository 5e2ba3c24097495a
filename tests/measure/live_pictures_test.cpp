#include "measure/live_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "measure/exchange_files.h"
#include "tests/measure/measure_fixture.h"

namespace rs {
namespace {

namespace fs = std::filesystem;
using test::path_in;
using test::slurp;
using test::spit;

using LivePictures = test::MeasureFixture;

TEST_F(LivePictures, TheReadySignalIsTakenOnce) {
    const std::string flag = path_in(exchange_folder, "clipflag.txt");
    EXPECT_FALSE(take_clipboard_signal(files, exchange_folder));  // no file
    spit(flag, "Ready\r\n");
    EXPECT_TRUE(take_clipboard_signal(files, exchange_folder));
    EXPECT_EQ(slurp(flag), "  \r\n");
    EXPECT_FALSE(take_clipboard_signal(files, exchange_folder));

    for (const char* other : {"", "ready\r\n", "Not Ready\r\n", "Ready now\r\n"}) {
        spit(flag, other);
        EXPECT_FALSE(take_clipboard_signal(files, exchange_folder)) << other;
        EXPECT_EQ(slurp(flag), other);
    }
    // The first field only, as a sequential read takes it.
    for (const char* ready : {"  Ready  \r\n", "\"Ready\",1\r\n", "Ready,later", "Ready"}) {
        spit(flag, ready);
        EXPECT_TRUE(take_clipboard_signal(files, exchange_folder)) << ready;
    }
    // A signal that cannot be taken is left for the next poll.
    spit(flag, "Ready\r\n");
    files.fail_at_rename();
    EXPECT_FALSE(take_clipboard_signal(files, exchange_folder));
    EXPECT_EQ(slurp(flag), "Ready\r\n");
}

TEST_F(LivePictures, ClearAdvancesTheJumpEveryTimeAndResetsTheResult) {
    form.impact = ScreenPoint{10, 10};
    form.frozen = true;
    form.option = ResultOption::Fall;
    form.Comment = "Fall";
    form.distance = "";
    form.gif_file_name_visible = true;
    form.recorded = true;
    MeasureContext c = ctx();
    unfreeze(c);
    EXPECT_EQ(form.Jump_no, " 2");
    EXPECT_FALSE(form.impact);
    EXPECT_FALSE(form.frozen);
    EXPECT_FALSE(form.recorded);
    EXPECT_FALSE(form.gif_file_name_visible);
    EXPECT_EQ(form.option, ResultOption::JumpOK);
    EXPECT_EQ(form.Comment, "");
    EXPECT_EQ(form.distance, "m");
    EXPECT_EQ(form.distance_ft, "ft");
    unfreeze(c);
    unfreeze(c);
    EXPECT_EQ(form.Jump_no, " 4");
}

TEST_F(LivePictures, ExchangePicturesAreRemovedInThatFolderOnly) {
    const std::string outside = tmp.make_dir("elsewhere");
    spit(path_in(outside, "kept.bmp"), "BM");
    spit(path_in(exchange_folder, "snapshot.bmp"), "BM");
    spit(path_in(exchange_folder, "CLIP.BMP"), "BM");
    spit(path_in(exchange_folder, "rsraw.dst"), "x");
    fs::create_directory(path_in(exchange_folder, "pictures.bmp"));
    fs::create_directory(path_in(exchange_folder, "sub"));
    spit(path_in(exchange_folder, "sub/deep.bmp"), "BM");
    // Links, where the system lets this user make them (Windows asks for a
    // privilege).
    std::error_code no_links;
    fs::create_symlink(path_in(outside, "kept.bmp"), path_in(exchange_folder, "link.bmp"),
                       no_links);
    if (!no_links)
        fs::create_directory_symlink(outside, path_in(exchange_folder, "linked"), no_links);

    EXPECT_EQ(remove_exchange_pictures(files, exchange_folder), 2);
    EXPECT_FALSE(exists(path_in(exchange_folder, "snapshot.bmp")));
    EXPECT_FALSE(exists(path_in(exchange_folder, "CLIP.BMP")));
    EXPECT_TRUE(exists(path_in(exchange_folder, "rsraw.dst")));
    EXPECT_TRUE(exists(path_in(exchange_folder, "pictures.bmp")));
    EXPECT_TRUE(exists(path_in(exchange_folder, "sub/deep.bmp")));
    if (!no_links) {
        EXPECT_TRUE(fs::is_symlink(path_in(exchange_folder, "link.bmp")));
    }
    EXPECT_EQ(slurp(path_in(outside, "kept.bmp")), "BM");

    // A missing folder is nothing to clean.
    EXPECT_EQ(remove_exchange_pictures(files, path_in(tmp.path(), "missing")), 0);
}

TEST_F(LivePictures, ALoadedPictureIsNamedAndLogged) {
    MeasureContext c = ctx();
    picture_loaded(c, "/pictures/Smithjump2.bmp");
    EXPECT_EQ(form.gif_file_name, "/pictures/Smithjump2.bmp");
    EXPECT_TRUE(form.gif_file_name_visible);
    EXPECT_EQ(shared.navigation_state, "PictureLoadMenu");
    EXPECT_EQ(results(), "03-01-2007 09:05:03 Loaded picture: /pictures/Smithjump2.bmp\r\n");
}

}  // namespace
}  // namespace rs
