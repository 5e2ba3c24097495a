#include "grid/setup_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "grid/grid_file.h"
#include "platform/paths.h"
#include "tests/grid/grid_fixture.h"

namespace rs {
namespace {

using test::GridFixture;
using test::PromptKind;

// A solved, accepted-looking set-up on the screen: working values and boxes.
void fill_screen(GridFixture& f) {
    GridDefinition& w = f.grids.working;
    w = test::worked_grid();
    ASSERT_TRUE(solve_grid(w));
    w.check_buoy = {1500, 1500, 15, 85};
    show_values_in_boxes(f.form, w);
    f.form.txtCheckX = "15.0";
    f.form.txtCheckY = "85";
    f.form.txtCheckXpix = "1500";
    f.form.txtCheckYpix = "1500";
    f.form.ipt_file_description_2 = "old description";
    f.form.grid_state_icon = "face02.ico";  // accepted with "Complete"
}

TEST(SaveSetup, AsksForTheGridUntilItIsConfiguredAndWritesBothFiles) {
    GridFixture f;
    f.shared.grid_count = 3;
    fill_screen(f);
    f.form.chkboxGridLock = true;
    f.form.gridLockedLabel_visible = true;
    const std::string path = join_path(f.setup_folder, "north.ipt");
    f.settings.save("grid1File", "/old/grid1.ipt");
    f.dialogs.file(path).text("North camera").no().text("0").text("4").text("2");

    save_setup(f.ctx);

    EXPECT_FALSE(f.form.chkboxGridLock);
    EXPECT_FALSE(f.form.gridLockedLabel_visible);
    const auto& p = f.dialogs.prompts();
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0].kind, PromptKind::SaveFile);
    EXPECT_EQ(p[0].file.filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
    EXPECT_EQ(p[0].file.filter_index, 3);
    EXPECT_EQ(p[0].file.file_name, "/old/grid1.ipt");  // the caption's configured file
    EXPECT_EQ(p[1].text, "Enter descriptive line about grid");
    EXPECT_EQ(p[1].title, "Grid Description");
    EXPECT_EQ(p[1].default_text, "old description");
    EXPECT_EQ(p[2].text, "Save Grid 1");
    EXPECT_EQ(p[2].title, "Current Grid");
    for (size_t i = 3; i < 6; ++i) {
        EXPECT_EQ(p[i].text, "What grid are you saving?");
        EXPECT_EQ(p[i].title, "Grid Number");
    }

    EXPECT_EQ(f.grids.current, 2);
    EXPECT_EQ(f.settings.get("grid2File", ""), path);
    EXPECT_EQ(f.settings.get("grid1File", ""), "/old/grid1.ipt");
    const GridDefinition& rec = f.grids.grid(2);
    EXPECT_EQ(rec.setup_file, path);
    EXPECT_EQ(rec.description, "North camera");
    EXPECT_EQ(rec.c, f.grids.working.c);
    EXPECT_EQ(rec.check_buoy.survey_x, 15);
    EXPECT_FALSE(rec.loaded);
    EXPECT_EQ(f.form.ipt_file_description, path);
    EXPECT_EQ(f.grids.measure_description, "North camera");
    ASSERT_EQ(f.main_descriptions.size(), 1u);
    EXPECT_EQ(f.main_descriptions[0], std::make_pair(2, std::string("North camera")));
    EXPECT_EQ(f.debug_lines().back(), "save grid 2");

    auto ipt = read_whole_file(path);
    auto cb = read_whole_file(path + ".cb");
    ASSERT_TRUE(ipt && cb);
    EXPECT_EQ(split_lines(*ipt).size(), 19u);
    EXPECT_EQ(split_lines(*ipt)[18], " 2 ");
    EXPECT_EQ(*cb, " 1500 \r\n 1500 \r\n 15 \r\n 85 \r\n");
}

TEST(SaveSetup, WithoutTheSetUpFolderNothingIsAsked) {
    GridFixture f;
    fill_screen(f);
    f.shared.setup_folder = f.tmp.file("missing");
    save_setup(f.ctx);
    ASSERT_EQ(f.dialogs.prompts().size(), 1u);
    EXPECT_EQ(f.dialogs.last().text, "Invalid path, change in configuration screen");
    EXPECT_EQ(f.dialogs.last().icon, MsgIcon::Exclamation);
    f.dialogs.clear();
    load_setup(f.ctx);
    EXPECT_EQ(f.dialogs.messages(),
              std::vector<std::string>{"Invalid path, change in configuration screen"});
}

TEST(SaveSetup, AnUnwritableFileIsReportedAndChangesNothing) {
    GridFixture f;
    fill_screen(f);
    const std::string path = join_path(f.tmp.file("no/such/folder"), "g.ipt");
    f.dialogs.file(path).text("d").yes();
    save_setup(f.ctx);
    EXPECT_EQ(f.settings.get("grid1File", "unset"), "unset");
    EXPECT_TRUE(f.grids.grid(1).setup_file.empty());
    EXPECT_EQ(f.dialogs.last().title, "Error Message");
}

// Saves the filled screen as grid 1 to path.
void save_as_grid1(GridFixture& f, const std::string& path) {
    fill_screen(f);
    f.dialogs.file(path).text("Pier, left").yes();
    save_setup(f.ctx);
    f.dialogs.clear();
}

TEST(LoadSetup, GivesBackEverySavedValueAndMarksTheGridLoaded) {
    GridFixture saver;
    const std::string path = join_path(saver.setup_folder, "g1.ipt");
    save_as_grid1(saver, path);

    GridFixture f;
    f.form.optAdvancedAccuracy = true;
    f.dialogs.file(path);  // one grid: no question which
    load_setup(f.ctx);

    ASSERT_EQ(f.dialogs.prompts().size(), 2u);  // the file dialog and the front ratio note
    EXPECT_EQ(f.dialogs.prompts()[0].file.filter,
              "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
    const GridDefinition& w = f.grids.working;
    const GridDefinition& s = saver.grids.working;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(w.corners[i].screen_x, s.corners[i].screen_x);
        EXPECT_EQ(w.corners[i].survey_y, s.corners[i].survey_y);
        EXPECT_EQ(f.grids.grid(1).corners[i].survey_x, s.corners[i].survey_x);
    }
    for (size_t i = 0; i < 8; ++i)
        EXPECT_NEAR(w.c[i], s.c[i], 1e-14 + 1e-14 * std::fabs(s.c[i]));
    EXPECT_EQ(w.jump_y, 50);
    EXPECT_EQ(w.check_buoy.survey_x, 15);
    EXPECT_EQ(f.form.upper_right_x, "3000");
    EXPECT_EQ(f.form.ll_survey_y, "70");
    EXPECT_EQ(f.form.jump_y, "50");
    EXPECT_EQ(f.form.txtCheckX, "15");
    EXPECT_EQ(f.form.txtCheckXpix, "1500");
    EXPECT_EQ(f.form.ipt_file_description_2, "Pier, left");
    EXPECT_EQ(f.grids.grid(1).description, "Pier, left");

    EXPECT_TRUE(f.grids.grid(1).loaded);
    EXPECT_EQ(f.grids.complete, 1);
    EXPECT_FALSE(f.grids.loading);
    EXPECT_EQ(f.grids.direction, -1);  // upper right X 30 is not less than upper left X 0
    EXPECT_EQ(f.form.grid_state_icon, "face02.ico");
    EXPECT_TRUE(f.form.btnAccuracyCheck_visible && f.form.fmAccuracyDisplay_visible &&
                f.form.fmAccuracyConfig_visible);
    EXPECT_EQ(f.settings.get("grid1File", ""), path);
    EXPECT_EQ(f.indicators, (std::vector<std::pair<int, bool>>{{1, true}}));

    const std::vector<std::string> log = f.debug_lines();
    const std::vector<std::string> tail(log.end() - 5, log.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"Load grid file names on main page below", "Load grid 1",
                                        "Grid load message above", "1 grid - OK",
                                        "Number of grids loaded message above"}));
    EXPECT_EQ(log.front(), "load grid 1");

    const std::vector<std::string> block = f.results_lines();
    const std::vector<std::string> expected = {
        "03-01-2007 09:05:03 New Set-up now in place",
        path,
        "Pier, left",
        "Grid Number:  1 ",
        " ",
        "Upper Left X,Y Twips: 0  0",
        "Upper Left X,Y Survey: 0  100",
        " ",
        "Lower Left X,Y Twips: 0  3000",
        "Lower Left X,Y Survey: 0  70",
        " ",
        "Upper Right X,Y Twips: 3000  0",
        "Upper Right X,Y Survey: 30  100",
        " ",
        "Lower Right X,Y Twips: 3000  3000",
        "Lower Right X,Y Survey: 30  70",
        " ",
        "Jump X,Y Survey: 0  50",
        " ",
        "Check Buoy X,Y Twips:  1500    1500 ",
        "Check Buoyt X,Y Survey:  15    85 ",
        " ",
    };
    EXPECT_EQ(block, expected);
}

TEST(LoadSetup, AsksWhichGridWhenSeveralAreConfigured) {
    GridFixture saver;
    const std::string path = join_path(saver.setup_folder, "g.ipt");
    save_as_grid1(saver, path);
    GridFixture f;
    f.shared.grid_count = 2;
    f.dialogs.no().text("3").text("2").file(path);
    load_setup(f.ctx);
    EXPECT_EQ(f.dialogs.prompts()[0].text, "Load Grid 1");
    EXPECT_EQ(f.grids.current, 2);
    EXPECT_TRUE(f.grids.grid(2).loaded);
    EXPECT_FALSE(f.grids.grid(1).loaded);
    EXPECT_EQ(f.grids.complete, 0);  // grid 1 is still missing
    EXPECT_EQ(f.form.grid_select, "Grid 2");
    EXPECT_EQ(f.settings.get("grid2File", ""), path);
}

TEST(LoadSetup, WithoutItsCheckBuoyFileTheGridIsNotLoaded) {
    GridFixture saver;
    const std::string path = join_path(saver.setup_folder, "old.ipt");
    save_as_grid1(saver, path);
    std::filesystem::remove(path + ".cb");

    GridFixture f;
    f.dialogs.file(path);
    load_setup(f.ctx);
    const test::Prompt& critical = f.dialogs.prompts()[1];
    EXPECT_EQ(critical.text,
              "I cannot find a  check  buoy file for this setup.  That means you are inputting "
              "an old set-up file that does not have a check buoy.  To complete the set up "
              "correctly, you must have a check buoy input to the set up.");
    EXPECT_EQ(critical.icon, MsgIcon::Critical);
    EXPECT_EQ(critical.title, kProgramTitle);
    EXPECT_EQ(f.grids.working.check_buoy.screen_x, 0);
    EXPECT_EQ(f.grids.grid(1).check_buoy.survey_x, 0);
    EXPECT_EQ(f.form.txtCheckX, "");
    EXPECT_EQ(f.form.txtCheckXpix, "auto");
    EXPECT_EQ(f.form.txtCheckYpix, "auto");
    EXPECT_FALSE(f.grids.grid(1).loaded);
    EXPECT_EQ(f.form.grid_state_icon, "msgbox03.ico");
    EXPECT_EQ(f.grids.working.c[5], 100);  // the set-up values remain
    const auto block = f.results_lines();
    ASSERT_EQ(block.size(), 21u);
    EXPECT_EQ(block[19], "No check buoy for this set up");
}

TEST(LoadSetup, ADamagedFileLeavesTheGridAsItWas) {
    GridFixture f;
    const std::string path = join_path(f.setup_folder, "bad.ipt");
    ASSERT_TRUE(f.files.replace(path, "Initialization Points for file: x\r\nd\r\n 1 , 2 , x\r\n"));
    f.grids.working.jump_x = 7;
    f.form.jump_x = "7";
    f.dialogs.file(path);
    load_setup(f.ctx);
    EXPECT_EQ(f.grids.working.jump_x, 7);
    EXPECT_EQ(f.form.jump_x, "7");
    EXPECT_FALSE(f.grids.loading);
    EXPECT_FALSE(f.grids.grid(1).loaded);
    EXPECT_NE(f.dialogs.last().text.find("bad.ipt"), std::string::npos);
    EXPECT_TRUE(f.results_lines().empty());
}

TEST(ReloadSetup, LoadsTheConfiguredFileWithoutQuestions) {
    GridFixture saver;
    const std::string path = join_path(saver.setup_folder, "g.ipt");
    save_as_grid1(saver, path);

    GridFixture f;
    f.shared.grid_count = 2;
    f.grids.grid(1).loaded = true;
    f.grids.loading = true;
    reload_configured_setup(f.ctx, path, 2);
    EXPECT_TRUE(f.dialogs.prompts().empty());
    EXPECT_TRUE(f.grids.grid(2).loaded);
    EXPECT_EQ(f.grids.complete, 1);
    EXPECT_TRUE(f.grids.loading);  // the caller's flag
    EXPECT_EQ(f.form.grid_select, "Grid 2");
    EXPECT_EQ(f.settings.get("grid2File", ""), path);
    EXPECT_EQ(f.indicators, (std::vector<std::pair<int, bool>>{{2, true}}));
    EXPECT_EQ(f.main_descriptions, (std::vector<std::pair<int, std::string>>{{2, "Pier, left"}}));
    EXPECT_EQ(f.grids.measure_description, "Pier, left");
    const auto block = f.results_lines();
    ASSERT_EQ(block.size(), 22u);
    EXPECT_EQ(block[3], "Grid Number:  2 ");
    EXPECT_EQ(block[19], "Check Buoy X,Y Twips: 1500  1500");
    EXPECT_EQ(block[20], "Check Buoy X,Y Survey: 15  85");
    EXPECT_TRUE(f.debug_lines().empty());
}

TEST(ReloadSetup, AMissingCheckBuoyFileEndsTheReload) {
    GridFixture saver;
    const std::string path = join_path(saver.setup_folder, "g.ipt");
    save_as_grid1(saver, path);
    std::filesystem::remove(path + ".cb");

    GridFixture f;
    reload_configured_setup(f.ctx, path, 1);
    EXPECT_EQ(f.dialogs.messages(),
              std::vector<std::string>{"Error in load - no check buoy found - setup grid again"});
    EXPECT_EQ(f.dialogs.last().icon, MsgIcon::None);
    EXPECT_FALSE(f.grids.grid(1).loaded);
    EXPECT_EQ(f.grids.grid(1).c[5], 100);
    EXPECT_TRUE(f.results_lines().empty());
    EXPECT_EQ(f.indicators, (std::vector<std::pair<int, bool>>{{1, false}}));
}

// Whatever the check-buoy boxes accepted, the file gives back the numbers
// the screen took from them.
TEST(SaveSetup, CheckBuoyTextsComeBackAsTheNumbersTheScreenRead) {
    GridFixture saver;
    fill_screen(saver);
    saver.form.txtCheckX = "15,5";
    saver.form.txtCheckY = "85.3m";
    const std::string path = join_path(saver.setup_folder, "typed.ipt");
    saver.dialogs.file(path).text("typed").yes();
    save_setup(saver.ctx);
    auto cb = read_whole_file(path + ".cb");
    ASSERT_TRUE(cb);
    EXPECT_EQ(*cb, " 1500 \r\n 1500 \r\n 15 \r\n 85.3 \r\n");
    EXPECT_EQ(saver.grids.grid(1).check_buoy.survey_y, 85.3);

    GridFixture f;
    f.dialogs.file(path);
    ASSERT_TRUE(load_setup(f.ctx));
    EXPECT_EQ(f.grids.working.check_buoy.survey_x, 15);
    EXPECT_EQ(f.grids.working.check_buoy.survey_y, 85.3);
    EXPECT_EQ(f.form.txtCheckX, "15");
    EXPECT_EQ(f.form.txtCheckY, "85.3");
    EXPECT_TRUE(f.grids.grid(1).loaded);

    // A file of an earlier version holds the texts as typed: it still loads,
    // with the same numbers, where it used to shift the fields or fail.
    ASSERT_TRUE(f.files.replace(path + ".cb", " 1500 \r\n 1500 \r\n15,5\r\n85.3m\r\n"));
    GridFixture next;
    reload_configured_setup(next.ctx, path, 1);
    EXPECT_TRUE(next.dialogs.prompts().empty());
    EXPECT_TRUE(next.grids.grid(1).loaded);
    EXPECT_EQ(next.grids.grid(1).check_buoy.survey_x, 15);
    EXPECT_EQ(next.grids.grid(1).check_buoy.survey_y, 85.3);
}

// A set-up saved before "Complete" holds coefficients of 0: every point
// would map to (0, 0). Saving says so first; at the next start the grid is
// not ready, and the message names the file.
TEST(SaveSetup, AGridNeverAcceptedIsNotReadyAfterARestart) {
    GridFixture saver;
    fill_screen(saver);
    saver.grids.working.c = {};  // never solved
    saver.form.grid_state_icon = "msgbox03.ico";
    saver.grids.grid(1).loaded = true;  // an earlier set-up of grid 1 was ready
    saver.grids.complete = 1;
    const std::string path = join_path(saver.setup_folder, "unsolved.ipt");

    saver.dialogs.file(path).text("half done").yes().no();
    save_setup(saver.ctx);
    const test::Prompt& asked = saver.dialogs.last();
    EXPECT_EQ(asked.text,
              "This set-up has not been accepted with \"Complete\". Saved as it is, grid 1 will "
              "not be ready when the file is loaded again. Save it anyway?");
    EXPECT_TRUE(asked.default_no);
    EXPECT_FALSE(std::filesystem::exists(path));  // nothing written on No
    EXPECT_TRUE(saver.grids.grid(1).loaded);

    saver.dialogs.file(path).text("half done").yes().yes();
    save_setup(saver.ctx);
    ASSERT_TRUE(std::filesystem::exists(path) && std::filesystem::exists(path + ".cb"));
    // The record now holds the unaccepted values: it no longer measures.
    EXPECT_FALSE(saver.grids.grid(1).loaded);
    EXPECT_EQ(saver.grids.complete, 0);
    EXPECT_EQ(saver.indicators.back(), std::make_pair(1, false));

    GridFixture next;  // the next start: the configured file is reloaded
    next.grids.loading = true;
    reload_configured_setup(next.ctx, path, 1);
    next.grids.loading = false;
    EXPECT_FALSE(next.grids.grid(1).loaded);
    EXPECT_EQ(next.grids.complete, 0);
    EXPECT_EQ(next.form.grid_state_icon, "msgbox03.ico");
    EXPECT_FALSE(next.form.btnAccuracyCheck_visible);
    EXPECT_EQ(next.indicators, (std::vector<std::pair<int, bool>>{{1, false}}));
    ASSERT_EQ(next.dialogs.messages().size(), 1u);
    EXPECT_EQ(next.dialogs.messages()[0], not_solved_message(path, 1));
    EXPECT_NE(next.dialogs.messages()[0].find(path), std::string::npos);
    EXPECT_TRUE(next.results_lines().empty());  // no "New Set-up now in place"
    EXPECT_EQ(next.form.ul_survey_y, "100");    // the values stay for correcting

    // Loading it on the set-up screen is refused the same way.
    GridFixture screen;
    screen.grids.grid(1).loaded = true;
    screen.dialogs.file(path);
    EXPECT_TRUE(load_setup(screen.ctx));
    EXPECT_FALSE(screen.grids.grid(1).loaded);
    EXPECT_EQ(screen.grids.complete, 0);
    EXPECT_EQ(screen.form.grid_state_icon, "msgbox03.ico");
    EXPECT_EQ(screen.settings.get("grid1File", "unset"), "unset");
    EXPECT_EQ(screen.dialogs.messages().back(), not_solved_message(path, 1));
}

// The pair is replaced whole or not at all, in the screen and in the
// command-line tool alike (one routine).
TEST(SaveSetup, AFailureWritingTheCheckBuoyFileLeavesTheOldPairWhole) {
    GridFixture f;
    const std::string path = join_path(f.setup_folder, "pair.ipt");
    save_as_grid1(f, path);
    const auto old_ipt = read_whole_file(path);
    const auto old_cb = read_whole_file(path + ".cb");
    ASSERT_TRUE(old_ipt && old_cb);

    fill_screen(f);
    f.grids.working.jump_x = 3;
    GridDefinition changed = f.grids.working;
    const std::string new_ipt = format_setup_file(path, "new", changed, 1);
    // The disk fills while the check-buoy file is written.
    f.files.fail_after_bytes(new_ipt.size() + 4);
    f.dialogs.file(path).text("new").yes();
    save_setup(f.ctx);
    f.files.heal();
    EXPECT_EQ(read_whole_file(path), old_ipt);
    EXPECT_EQ(read_whole_file(path + ".cb"), old_cb);
    EXPECT_EQ(f.dialogs.last().text, "The set-up file could not be written: " + path);

    // The check-buoy file's rename fails after the set-up file's succeeded:
    // the set-up file is put back.
    f.files.fail_at_rename_number(2);
    EXPECT_FALSE(write_setup_files(f.files, path, "new", changed, 1));
    f.files.heal();
    EXPECT_EQ(read_whole_file(path), old_ipt);
    EXPECT_EQ(read_whole_file(path + ".cb"), old_cb);
    for (const auto& entry : std::filesystem::directory_iterator(f.setup_folder))
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();

    ASSERT_TRUE(write_setup_files(f.files, path, "new", changed, 1));
    EXPECT_EQ(read_whole_file(path), new_ipt);
}

TEST(GridState, CompleteConditionAndDirection) {
    GridState g;
    EXPECT_FALSE(grids_complete(g, 1));
    g.grid(1).loaded = true;
    EXPECT_TRUE(grids_complete(g, 1));
    EXPECT_FALSE(grids_complete(g, 2));
    g.grid(2).loaded = true;
    EXPECT_TRUE(grids_complete(g, 2));
    EXPECT_FALSE(grids_complete(g, 3));
    EXPECT_EQ(direction_sign("0", "30"), 1);
    EXPECT_EQ(direction_sign("30", "0"), -1);
    EXPECT_EQ(direction_sign("5", "5"), -1);
}

}  // namespace
}  // namespace rs
