#include <gtest/gtest.h>

#include <sstream>

#include "cli/command_registry.h"
#include "core/text_lines.h"
#include "tests/cli/cli_run.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::cli;
using test::CliRun;

TEST(AccuracyCli, PrintsTheReportLinesOfTheSetUpFile) {
    test::TempDir tmp;
    const std::string ipt = tmp.file("worked.ipt");
    ASSERT_EQ(cli({"solve", "--ur", "3000,0,30,100", "--lr", "3000,3000,30,70", "--ul", "0,0,0,100",
                   "--ll", "0,3000,0,70", "--jump", "0,50", "--check", "1500,1500,15.0,85",
                   "--grid", "2", "--description", "Worked", "-o", ipt})
                  .status,
              0);

    const CliRun r = cli({"accuracy", ipt, "--picture-width", "3000"});
    ASSERT_EQ(r.status, cli::kExitOk) << r.err;
    // The report file's own line ends, so the output appends to a report.
    ASSERT_EQ(r.out.substr(r.out.size() - 27), "Accuracy Check Complete\r\n\r\n");
    const auto lines = split_lines(r.out);
    ASSERT_EQ(lines.size(), 63u);
    EXPECT_NE(lines[0].find(" Accuracy Check"), std::string::npos);
    EXPECT_EQ(lines[2], ipt);
    EXPECT_EQ(lines[3], "Worked");
    EXPECT_EQ(lines[4], "Grid Number:  2 ");
    EXPECT_EQ(lines[6], "Front Ratio: 100");
    EXPECT_EQ(lines[22], "Check Buoy X,Y Pixels:  1500    1500 ");
    EXPECT_EQ(lines[23], "Check Buoy X,Y Survey: 15  85");
    EXPECT_EQ(lines[25],
              "xpix: 0  ypix: 0  x: 0  y: 100  distance: 52.1  v inc: 51.95  h inc: 52.1  "
              "delta: .15");

    const CliRun barefoot = cli({"accuracy", ipt, "--type", "barefoot"});
    ASSERT_EQ(barefoot.status, cli::kExitOk);
    EXPECT_EQ(split_lines(barefoot.out)[6], "Front Ratio: 25");  // 3000 of 12000 twips
    EXPECT_EQ(split_lines(barefoot.out)[25],
              "xpix: 0  ypix: 0  x: 0  y: 100  distance: 50  v inc: 49.85  h inc: 50  delta: .15");

    EXPECT_EQ(cli({"accuracy", ipt, "--type", "slalom"}).status, cli::kExitUsage);
    const CliRun missing = cli({"accuracy", tmp.file("none.ipt")});
    EXPECT_EQ(missing.status, cli::kExitUsage);
    EXPECT_NE(missing.err.find("none.ipt"), std::string::npos);
}

}  // namespace
}  // namespace rs
