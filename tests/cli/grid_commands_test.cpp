#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_registry.h"
#include "core/text_lines.h"
#include "platform/file_reader.h"
#include "tests/cli/cli_run.h"
#include "tests/support/fifo.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::cli;
using test::CliRun;

class GridCli : public ::testing::Test {
  protected:
    test::TempDir tmp;
    std::string ipt = tmp.file("setups/worked.ipt");

    void SetUp() override {
        tmp.make_dir("setups");
        CliRun r =
            cli({"solve", "--ur", "3000,0,30,100", "--lr", "3000,3000,30,70", "--ul", "0,0,0,100",
                 "--ll", "0,3000,0,70", "--jump", "0,50", "--check", "1500,1500,15.0,85", "--grid",
                 "2", "--description", "Pier, left", "-o", ipt});
        ASSERT_EQ(r.status, cli::kExitOk) << r.err;
    }
};

TEST_F(GridCli, SolveWritesTheSetUpFileAsTheSetUpScreenSavesIt) {
    auto text = read_whole_file(ipt);
    auto cb = read_whole_file(ipt + ".cb");
    ASSERT_TRUE(text && cb);
    const auto lines = split_lines(*text);
    ASSERT_EQ(lines.size(), 19u);
    EXPECT_EQ(lines[0], "Initialization Points for file: " + ipt);
    EXPECT_EQ(lines[1], "Pier, left");
    EXPECT_EQ(lines[2], " 3000 , 0 , 30 , 100 ");
    EXPECT_EQ(lines[7], " .01 ");
    EXPECT_EQ(lines[13], "-.01 ");
    EXPECT_EQ(lines[18], " 2 ");
    // The check buoy's survey values in print form, as the screen saves them.
    EXPECT_EQ(*cb, " 1500 \r\n 1500 \r\n 15 \r\n 85 \r\n");
}

TEST_F(GridCli, MeasureAndToScreenMapWithTheFilesCoefficients) {
    CliRun m = cli({"measure", ipt, "1500", "1500", "--json"});
    ASSERT_EQ(m.status, 0) << m.err;
    EXPECT_EQ(m.out,
              "{\"survey_x\": 15, \"survey_y\": 85, \"distance\": 40.178865529319545, "
              "\"meters\": 40.2, \"feet\": 132}\n");
    // (0, 0) maps to (0, 100), 50 m from the jump point.
    CliRun bare = cli({"measure", ipt, "0", "0", "--type", "barefoot", "--json"});
    EXPECT_NE(bare.out.find("\"distance\": 50,"), std::string::npos) << bare.out;
    EXPECT_NE(bare.out.find("\"feet\": 164"), std::string::npos) << bare.out;  // 164.04 ft
    CliRun sit = cli({"measure", ipt, "0", "0", "--type", "sitski"});
    EXPECT_NE(sit.out.find("distance: 51.9 m"), std::string::npos) << sit.out;
    EXPECT_NE(sit.out.find("recorded: 51.9 m, 170 ft"), std::string::npos) << sit.out;

    CliRun s = cli({"to-screen", ipt, "0", "70", "--json"});
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("\"x\": 0"), std::string::npos) << s.out;
    EXPECT_EQ(s.out.front(), '{');
}

TEST_F(GridCli, APointWithNoImageIsStatusThree) {
    const std::string p = tmp.file("setups/camera.ipt");
    ASSERT_EQ(cli({"solve", "--ur", "8000,2000,30,100", "--lr", "10000,7000,30,70", "--ul",
                   "4000,2000,0,100", "--ll", "2000,7000,0,70", "--jump", "15,40", "-o", p})
                  .status,
              0);
    CliRun sky = cli({"measure", p, "6000", "-5000", "--json"});
    EXPECT_EQ(sky.status, cli::kExitNoImage);
    EXPECT_TRUE(sky.out.empty());
    EXPECT_NE(sky.err.find("horizon"), std::string::npos);
    CliRun behind = cli({"to-screen", p, "15", "-500"});
    EXPECT_EQ(behind.status, cli::kExitNoImage);
}

TEST_F(GridCli, CheckRunsTheAcceptance) {
    CliRun narrow = cli({"check", ipt, "--json"});  // 3000 of 12000 twips
    EXPECT_EQ(narrow.status, cli::kExitRefused);
    EXPECT_EQ(narrow.out,
              "{\"accepted\": false, \"messages\": [\"Warning - Grid is 25% which is less than "
              "80% of screen width.  Zoom your camera until the grid nearly fills the screen.\"], "
              "\"field_of_view\": 0, \"grid_width_percent\": 25, \"front_ratio\": null, "
              "\"back_ratio\": null}\n");
    CliRun allowed = cli({"check", ipt, "--allow-invalid"});
    EXPECT_EQ(allowed.status, cli::kExitOk);
    EXPECT_NE(allowed.out.find("message: Invalid Configurations allowed for test\n"),
              std::string::npos);
    EXPECT_NE(allowed.out.find("outcome: accepted"), std::string::npos);
    CliRun full = cli({"check", ipt, "--picture-width", "3000", "--json"});
    EXPECT_EQ(full.status, cli::kExitOk);
    EXPECT_NE(full.out.find("\"front_ratio\": 100"), std::string::npos) << full.out;
}

TEST_F(GridCli, BadInputIsStatusTwoWithTheProblemNamed) {
    struct Case {
        std::vector<std::string> args;
        std::string named;
    };
    test::spit(tmp.file("setups/bad.ipt"), "x\r\ny\r\n 1 , two \r\n");
    const Case cases[] = {
        {{"solve", "--ur", "1,2,3", "--lr", "0,0,0,0", "--ul", "0,0,0,0", "--ll", "0,0,0,0",
          "--jump", "0,0", "-o", "x.ipt"},
         "--ur"},
        {{"solve", "--lr", "0,0,0,0"}, "--ur is missing"},
        {{"solve", "--ur", "1,2,3,4", "--lr", "0,0,0,0", "--ul", "0,0,0,0", "--ll", "0,0,0,0",
          "--jump", "0,0", "--grid", "4", "-o", "x.ipt"},
         "--grid"},
        {{"measure", ipt, "abc", "5"}, "x and y"},
        {{"measure", ipt, "1"}, "FILE.ipt x y"},
        {{"measure", ipt, "1", "2", "--type", "slalom"}, "--type"},
        {{"measure", tmp.file("setups/none.ipt"), "1", "2"}, "none.ipt"},
        {{"measure", tmp.file("setups/bad.ipt"), "1", "2"}, "\"two\" is not a number"},
        {{"to-screen", ipt, "1"}, "FILE.ipt X Y"},
        {{"check", ipt, "--picture-width", "wide"}, "--picture-width"},
        {{"check", ipt, "--frobnicate"}, "unknown option --frobnicate"},
    };
    for (const Case& c : cases) {
        CliRun r = cli(c.args);
        EXPECT_EQ(r.status, cli::kExitUsage) << c.args[0] << " " << c.named;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << r.err;
    }
    // Corners at one point cannot be solved: refused, nothing written.
    CliRun same = cli({"solve", "--ur", "5,5,30,100", "--lr", "5,5,30,70", "--ul", "5,5,0,100",
                       "--ll", "5,5,0,70", "--jump", "0,0", "-o", tmp.file("setups/same.ipt")});
    EXPECT_EQ(same.status, cli::kExitRefused);
    EXPECT_EQ(same.err, "No Unique Solution - Re-enter data\n");
    EXPECT_FALSE(read_whole_file(tmp.file("setups/same.ipt")));
}

TEST_F(GridCli, ASetUpFileThatIsNotAFileIsRefusedAtOnce) {
    const std::string fifo = tmp.file("setups/fifo.ipt");
    if (!test::make_fifo(fifo))
        GTEST_SKIP() << "no FIFOs here";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"measure", fifo, "1", "2"},
          {"check", fifo},
          {"to-screen", fifo, "1", "2"},
          {"accuracy", fifo}}) {
        auto r = test::returns_at_once(fifo, [&] { return cli(args); });
        ASSERT_TRUE(r) << args[0] << " waited on a FIFO";
        EXPECT_EQ(r->status, cli::kExitUsage) << args[0];
        EXPECT_NE(r->err.find(fifo + ": not a regular file"), std::string::npos) << r->err;
    }
    // A set-up file too large to be one is refused before it is read.
    const std::string big = tmp.file("setups/big.ipt");
    test::spit(big, std::string(kSetupFileLimit + 1, ' '));
    CliRun r = cli({"check", big});
    EXPECT_EQ(r.status, cli::kExitUsage);
    EXPECT_NE(r.err.find(big + ": too large"), std::string::npos) << r.err;
}

TEST_F(GridCli, SolveRefusesALineBreakInTheDescriptionAndNamesAFileItCannotWrite) {
    const std::vector<std::string> corners = {"solve",           "--ur",   "3000,0,30,100", "--lr",
                                              "3000,3000,30,70", "--ul",   "0,0,0,100",     "--ll",
                                              "0,3000,0,70",     "--jump", "0,50"};
    for (const char* text : {"Pier\nleft", "Pier\r\nleft", "Pier\r"}) {
        auto args = corners;
        args.insert(args.end(), {"--description", text, "-o", tmp.file("setups/lb.ipt")});
        CliRun r = cli(args);
        EXPECT_EQ(r.status, cli::kExitUsage);
        EXPECT_NE(r.err.find("--description must be one line"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(read_whole_file(tmp.file("setups/lb.ipt")));

    auto args = corners;
    const std::string unwritable = tmp.file("no such folder/x.ipt");
    args.insert(args.end(), {"-o", unwritable});
    CliRun r = cli(args);
    EXPECT_EQ(r.status, cli::kExitWriteFailed);
    EXPECT_NE(r.err.find("cannot write " + unwritable + ": No such file or directory"),
              std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace rs
