#include "measure/jump_recording.h"

#include <gtest/gtest.h>

#include "measure/exchange_files.h"
#include "measure/impact_marker.h"
#include "tests/measure/measure_fixture.h"

namespace rs {
namespace {

using test::PromptKind;
using test::slurp;
using test::spit;

constexpr const char* kLine20 =
    "03-01-2007 09:05:03 Smith  jump 1 -  20m  (IWSF) 66ft  (AWSA) ( 15/ 57.94) ( 1500/ 4206) "
    "( 20.04)\r\n";

struct Recording : test::MeasureFixture {
    // A click 17.94 m from the jump point on the flat grid: 20.04 m with the
    // offset of a normal tournament.
    void mark(double x = 1500, double y = 4206) {
        form.impact = ScreenPoint{x, y};
        form.recorded = false;
    }
    std::optional<RecordedJump> record() {
        MeasureContext c = ctx();
        return record_jump(c);
    }
};

TEST_F(Recording, AJumpOnTheGridGivesRoundedDistancesAndEveryLine) {
    mark();
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_EQ(form.distance, " 20m");
    EXPECT_EQ(form.distance_ft, " 66ft");
    EXPECT_EQ(results(), kLine20);
    EXPECT_EQ(last_result(), "OK,  20,  66, 1\r\n");
    EXPECT_EQ(all_results(), "09:05:03 ,Smith,OK,  20,  66, 1\r\n");

    // A normal jump keeps its number until the screen is cleared.
    EXPECT_EQ(form.Jump_no, "1");
    EXPECT_FALSE(form.Comment_visible);
    EXPECT_EQ(form.option, ResultOption::JumpOK);
    EXPECT_TRUE(dialogs.prompts().empty());

    // What an audit trail needs is all in the record.
    EXPECT_NEAR(*r->distance, 20.04, 1e-9);
    EXPECT_NEAR(r->survey->y, 57.94, 1e-9);
    EXPECT_EQ(r->impact->x, 1500);
    EXPECT_EQ(r->grid, 1);
    EXPECT_EQ(r->meters_text, " 20");
    EXPECT_EQ(r->feet_text, " 66");
    EXPECT_EQ(r->precise_text, " 20.04");
    EXPECT_EQ(r->jump_number, "1");
    EXPECT_TRUE(r->results_written);
    EXPECT_TRUE(r->exchange_written);
    EXPECT_FALSE(r->advanced);
}

TEST_F(Recording, BarefootFeetToATenthAndTheBarefootMark) {
    config.tournament_type = "barefoot";
    config.barefoot = true;
    config.barefoot_indicator_visible = true;
    mark(1500, 3996);  // 20.04 m from the jump point, nothing added
    ASSERT_TRUE(record());
    EXPECT_EQ(form.distance, " 20m");
    EXPECT_EQ(form.distance_ft, " 65.7ft");
    EXPECT_EQ(results(),
              "03-01-2007 09:05:03 Smith  jump 1 -  20m  (IWSF) 65.7ft  (AWSA) BAREFOOT  ( 15/ "
              "60.04) ( 1500/ 3996) ( 20.04)\r\n");
    EXPECT_EQ(last_result(), "OK,  20,  65.7, 1\r\n");
}

TEST_F(Recording, SitSkiAddsOnePointNine) {
    config.tournament_type = "sitski";
    mark();
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_NEAR(*r->distance, 19.84, 1e-9);
    EXPECT_EQ(form.distance, " 19.8m");
}

TEST_F(Recording, PassOnJumpThreeAdvancesTheNumberAndEmptiesTheDistances) {
    form.Jump_no = "3";
    Pass_Click(form);
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), "Pass, 0, 0,3\r\n");
    EXPECT_EQ(all_results(), "09:05:03 ,Smith,Pass, 0, 0,3\r\n");
    EXPECT_EQ(results(), "03-01-2007 09:05:03 Smith  jump 3 -   (IWSF)  (AWSA)Pass\r\n");
    EXPECT_EQ(form.distance, "");
    EXPECT_EQ(form.distance_ft, "");
    EXPECT_EQ(form.Jump_no, " 4");
    EXPECT_EQ(form.option, ResultOption::None);
    EXPECT_EQ(form.Comment, "");

    // The next result: the advanced number carries its blank.
    Fall_Click(form);
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), "Fall, 0, 0, 4\r\n");
    EXPECT_EQ(form.Jump_no, " 5");
}

TEST_F(Recording, AFrozenPictureLeavesTheJumpNumberAndTheOption) {
    form.frozen = true;
    form.Jump_no = "2";
    Fall_Click(form);
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), "Fall, 0, 0,2\r\n");
    EXPECT_EQ(form.Jump_no, "2");
    EXPECT_EQ(form.option, ResultOption::Fall);
}

TEST_F(Recording, OneLastResultAndOneRawLinePerRecording) {
    mark();
    ASSERT_TRUE(record());
    mark(1500, 3000);  // 30 m from the jump point: 32.1 m
    form.Jump_no = "2";
    form.Skier_name = "Jones, Mary";
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), "OK,  32.1,  105, 2\r\n");
    // The name stops at its comma in the scoring program's file only.
    EXPECT_EQ(all_results(),
              "09:05:03 ,Smith,OK,  20,  66, 1\r\n09:05:03 ,Jones,OK,  32.1,  105, 2\r\n");
    EXPECT_NE(results().find("Jones, Mary  jump 2 -  32.1m"), std::string::npos);
}

TEST_F(Recording, ADoubleClickRecordsOnce) {
    mark();
    ASSERT_TRUE(record());
    EXPECT_FALSE(record());
    EXPECT_EQ(results(), kLine20);
    EXPECT_EQ(all_results(), "09:05:03 ,Smith,OK,  20,  66, 1\r\n");

    // A pass advances the number: a second press must not record a normal
    // jump for the next one.
    Pass_Click(form);
    ASSERT_TRUE(record());
    EXPECT_FALSE(record());
    EXPECT_EQ(split_lines(all_results()).size(), 2u);
}

TEST_F(Recording, NoNumberWithoutAMarkedPointOnTheWater) {
    EXPECT_FALSE(record());
    EXPECT_EQ(dialogs.last().text, kNoPointMarked);

    grids.working = test::steep_grid();
    mark(6000, 1000);  // above the horizon
    EXPECT_FALSE(record());
    EXPECT_EQ(dialogs.last().text, no_distance_message(1));
    EXPECT_EQ(dialogs.last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(form.distance, "m");
    EXPECT_FALSE(exists(shared.results_file_path));
    EXPECT_FALSE(exists(exchange_folder + "/rsresult.dst"));
    EXPECT_FALSE(form.recorded);
}

TEST_F(Recording, OtherGridDistancesMustAgree) {
    Other_Grid_Click(form);
    EXPECT_EQ(form.Comment, "Distance from other grid");
    dialogs.yes().text("20").text("70");  // 20 x 3.2808 + 2 = 67.6 < 70
    dialogs.yes().text("20").text("66");
    ASSERT_TRUE(record());
    const auto m = dialogs.messages();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0], "Is there a distance to be recorded in the other grid?");
    EXPECT_EQ(dialogs.prompts()[0].title, "Message");
    EXPECT_EQ(m[1],
              "The meter distance and the foot distance you entered did not match, please enter "
              "them again");
    EXPECT_EQ(dialogs.prompts()[1].title, "Other Grid Measurement");
    EXPECT_EQ(dialogs.prompts()[1].text, "Enter distance in meters from other screen");
    EXPECT_EQ(form.distance, "20m");
    EXPECT_EQ(form.distance_ft, " 66ft");
    EXPECT_EQ(last_result(), "OK, 20,  66, 1\r\n");
    EXPECT_EQ(results(),
              "03-01-2007 09:05:03 Smith  jump 1 - 20m  (IWSF) 66ft  (AWSA)Distance from other "
              "grid\r\n");
    EXPECT_EQ(form.Jump_no, " 2");
    EXPECT_EQ(form.option, ResultOption::None);
    EXPECT_TRUE(other_grid_distances_match(20, 66));
    EXPECT_FALSE(other_grid_distances_match(20, 70));
    EXPECT_FALSE(other_grid_distances_match(20, 63.5));
}

TEST_F(Recording, OtherGridWithoutADistanceOrCancelled) {
    Other_Grid_Click(form);
    dialogs.yes().text("21").cancel_input();
    EXPECT_FALSE(record());  // cancelled: nothing written, nothing changed
    EXPECT_EQ(form.Comment, "Distance from other grid");
    EXPECT_EQ(form.distance, "m");
    EXPECT_FALSE(exists(shared.results_file_path));

    dialogs.no();
    ASSERT_TRUE(record());
    EXPECT_EQ(results(),
              "03-01-2007 09:05:03 Smith  jump 1 -   (IWSF)  (AWSA)Other Grid - no distance "
              "recorded\r\n");
    // No figure of another jump goes to the scoring program.
    EXPECT_EQ(last_result(), "OK, , , 1\r\n");
}

TEST_F(Recording, VerifyModeMarksTheLineUnofficial) {
    form.verify = true;
    form.Comment = "wind";
    mark();
    ASSERT_TRUE(record());
    EXPECT_NE(results().find("(AWSA) UNOFFICIAL JUMP - verify mode wind ( 15/"), std::string::npos);
    EXPECT_EQ(last_result(), "OK,  20,  66, 1\r\n");
}

TEST_F(Recording, WithTheScoringLinkOffNoExchangeFile) {
    config.wstims = false;
    mark();
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->exchange_attempted);
    EXPECT_EQ(results(), kLine20);
    EXPECT_FALSE(exists(exchange_folder + "/rsresult.dst"));
}

TEST_F(Recording, MissingExchangeFolderIsReportedAndTheRestRuns) {
    std::filesystem::remove_all(exchange_folder);
    form.Jump_no = "3";
    Pass_Click(form);
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_EQ(dialogs.last().text, std::string(kExchangeErrorPrefix) + exchange_folder +
                                       ": the exchange folder does not exist");
    EXPECT_EQ(results(), "03-01-2007 09:05:03 Smith  jump 3 -   (IWSF)  (AWSA)Pass\r\n");
    EXPECT_FALSE(r->exchange_written);
    EXPECT_EQ(form.Jump_no, " 4");
    EXPECT_EQ(form.Comment, "");
    EXPECT_TRUE(form.recorded);
}

TEST_F(Recording, AWriteFailingHalfWayLeavesNoHalfLineAndTheOldResult) {
    mark();
    ASSERT_TRUE(record());
    const std::string old_last = last_result(), old_raw = all_results(), old_results = results();

    // The new result part of "rsresult.dst" fails after three bytes.
    mark(1500, 3000);
    const std::string line2 =
        results_jump_line(clock.now(), "Smith", "1", " 32.1m", " 105ft", false, false, "",
                          LineCoordinates{{15, 70}, {1500, 3000}, " 32.1"});
    files.fail_after_bytes(line2.size() + 2 + 3);
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->results_written);
    EXPECT_FALSE(r->exchange_written);
    EXPECT_EQ(results(), old_results + line2 + "\r\n");
    EXPECT_EQ(last_result(), old_last);
    EXPECT_EQ(all_results(), old_raw);
    EXPECT_EQ(temporaries(exchange_folder), 0u);
    EXPECT_EQ(dialogs.last().text.rfind(kExchangeErrorPrefix, 0), 0u);

    // A rename refused: still the old last result, and no raw line.
    files.heal();
    files.fail_at_rename();
    mark(1500, 3015);
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), old_last);
    EXPECT_EQ(all_results(), old_raw);
}

TEST_F(Recording, AResultsLineThatFailsIsCutBackAndShownToTheOperator) {
    spit(shared.results_file_path, "earlier\r\n");
    mark();
    files.fail_after_bytes(20);
    const auto r = record();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->results_written);
    EXPECT_EQ(results(), "earlier\r\n");
    const auto& prompts = dialogs.prompts();
    ASSERT_GE(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].icon, MsgIcon::Critical);
    EXPECT_NE(prompts[0].text.find(std::string(kLine20).substr(0, std::string(kLine20).size() - 2)),
              std::string::npos);
}

TEST_F(Recording, RecordingClearsTheExchangePicturesOnly) {
    spit(exchange_folder + "/snapshot.bmp", "BM");
    spit(exchange_folder + "/clipflag.txt", "Ready\r\n");
    mark();
    ASSERT_TRUE(record());
    EXPECT_FALSE(exists(exchange_folder + "/snapshot.bmp"));
    EXPECT_TRUE(exists(exchange_folder + "/clipflag.txt"));
}

TEST_F(Recording, RerideAndCommentLines) {
    form.distance = " 20m";
    {
        MeasureContext c = ctx();
        M_Reride_Click(c);
    }
    EXPECT_EQ(form.distance, "");
    EXPECT_EQ(form.option, ResultOption::None);
    {
        MeasureContext c = ctx();
        O_reride_Click(c);
    }
    dialogs.text("Boat too fast");
    {
        MeasureContext c = ctx();
        Make_comment_Click(c);
    }
    dialogs.cancel_input();
    {
        MeasureContext c = ctx();
        Make_comment_Click(c);  // cancelled: no empty line
    }
    EXPECT_EQ(dialogs.prompts()[0].title, "Input Comment");
    EXPECT_EQ(results(),
              "03-01-2007 09:05:03 Mandatory Reride - disregard last jump\r\n"
              "03-01-2007 09:05:03 Optional Reride on previous jump\r\n"
              "03-01-2007 09:05:03 Boat too fast\r\n");
    EXPECT_EQ(form.Comment, "");

    // Frozen: the reride stays selected and the distance stays.
    form.frozen = true;
    form.distance = " 20m";
    MeasureContext c = ctx();
    M_Reride_Click(c);
    EXPECT_EQ(form.option, ResultOption::M_Reride);
    EXPECT_EQ(form.distance, " 20m");
}

TEST_F(Recording, JumpOkDropsAResultTextOfAnotherOption) {
    Pass_Click(form);
    optJumpOK_Click(form);
    EXPECT_EQ(form.Comment, "");
    mark();
    ASSERT_TRUE(record());
    EXPECT_EQ(last_result(), "OK,  20,  66, 1\r\n");

    form.Comment = "nice one";
    optJumpOK_Click(form);
    EXPECT_EQ(form.Comment, "nice one");
}

TEST(ExchangeLines, ResultPartsAndNames) {
    EXPECT_EQ(exchange_result("Fall", " 20", " 66", "3"), "Fall, 0, 0,3");
    EXPECT_EQ(exchange_result("Pass ", " 20", " 66", "3"), "OK,  20,  66, 3");
    EXPECT_EQ(exchange_result("", " 20.1", " 66", " 3"), "OK,  20.1,  66,  3");
    EXPECT_EQ(name_before_comma("Smith, John, Jr"), "Smith");
    EXPECT_EQ(name_before_comma("Smith"), "Smith");
    EXPECT_EQ(name_before_comma(",x"), "");
    EXPECT_EQ(next_jump_number("1"), " 2");
    EXPECT_EQ(next_jump_number(" 9"), " 10");
    EXPECT_EQ(next_jump_number("x"), " 1");
}

}  // namespace
}  // namespace rs
