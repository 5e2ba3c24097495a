#include "platform/file_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>

#include "platform/file_reader.h"
#include "tests/support/failing_file_writer.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::FailingFileWriter;
using test::slurp;
using test::spit;
using test::TempDir;

// Names in the folder other than the ones given: temporary files left behind.
std::vector<std::string> strays(const TempDir& dir, std::vector<std::string> known) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = e.path().filename().string();
        if (std::find(known.begin(), known.end(), name) == known.end())
            out.push_back(name);
    }
    return out;
}

TEST(FileWriter, AppendsLinesWithCrLfAndReplacesWholeFiles) {
    TempDir dir;
    FileWriter files;
    const std::string f = dir.file("r.txt");
    ASSERT_TRUE(files.append_lines(f, {"a", "", "b"}));
    ASSERT_TRUE(files.append_lines(f, {"c"}));
    EXPECT_EQ(slurp(f), "a\r\n\r\nb\r\nc\r\n");
    ASSERT_TRUE(files.replace(f, "short"));
    EXPECT_EQ(slurp(f), "short");
    EXPECT_TRUE(strays(dir, {"r.txt"}).empty());

    const WriteResult missing = files.append_lines(dir.file("no/such/folder.txt"), {"x"});
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.error().find("no/such/folder.txt"), std::string::npos);
    EXPECT_FALSE(files.append_lines("", {"x"}));
    EXPECT_FALSE(files.replace(dir.file("no/such/folder.txt"), "x"));
}

// A disk that fills half-way through a line: the file keeps its old bytes
// and no half line, whatever the point of failure.
TEST(FileWriter, AFailedAppendLeavesNoHalfLine) {
    TempDir dir;
    FailingFileWriter files;
    const std::string f = dir.file("rsraw.dst");
    ASSERT_TRUE(files.append(f, "09:05:03 ,Smith,OK,  20.1,  66, 1\r\n"));
    for (std::uint64_t n : {0, 1, 10, 30}) {
        files.fail_after_bytes(n);
        EXPECT_FALSE(files.append(f, "09:06:00 ,Jones,OK,  30.2,  99, 1\r\n")) << n;
        files.heal();
        EXPECT_EQ(slurp(f), "09:05:03 ,Smith,OK,  20.1,  66, 1\r\n") << n;
    }
    files.fail_at_flush();
    EXPECT_FALSE(files.append(f, "lost\r\n"));
    files.heal();
    EXPECT_EQ(slurp(f), "09:05:03 ,Smith,OK,  20.1,  66, 1\r\n");

    // A file that did not exist before a failed first append is not left
    // behind empty.
    files.fail_after_bytes(3);
    EXPECT_FALSE(files.append(dir.file("new.txt"), "abcdef"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.txt")));
}

TEST(FileWriter, AFailedReplacementKeepsTheOldFileWhole) {
    TempDir dir;
    FailingFileWriter files;
    const std::string f = dir.file("rsresult.dst");
    spit(f, "OK,  20.1,  66, 1\r\n");
    files.fail_after_bytes(4);
    EXPECT_FALSE(files.replace(f, "Pass, 0, 0, 2\r\n"));
    files.heal();
    files.fail_at_flush();
    EXPECT_FALSE(files.replace(f, "Pass, 0, 0, 2\r\n"));
    files.heal();
    files.fail_at_rename();
    const WriteResult r = files.replace(f, "Pass, 0, 0, 2\r\n");
    EXPECT_FALSE(r);
    EXPECT_NE(r.error().find("rsresult.dst"), std::string::npos);
    files.heal();
    EXPECT_EQ(slurp(f), "OK,  20.1,  66, 1\r\n");
    EXPECT_TRUE(strays(dir, {"rsresult.dst"}).empty());
}

// A group is renamed only once every member is written and flushed.
TEST(FileWriter, AGroupIsReplacedOnlyWhenEveryFileIsWritten) {
    TempDir dir;
    FailingFileWriter files;
    const std::string a = dir.file("grid.ipt"), b = dir.file("grid.ipt.cb");
    spit(a, "old set-up");
    spit(b, "old buoy");
    files.fail_after_bytes(std::string("new set-up").size() + 3);
    EXPECT_FALSE(files.replace_all({{a, "new set-up"}, {b, "new buoy"}}));
    EXPECT_EQ(files.renames(), 0);
    files.heal();
    EXPECT_EQ(slurp(a), "old set-up");
    EXPECT_EQ(slurp(b), "old buoy");
    EXPECT_TRUE(strays(dir, {"grid.ipt", "grid.ipt.cb"}).empty());

    ASSERT_TRUE(files.replace_all({{a, "new set-up"}, {b, "new buoy"}}));
    EXPECT_EQ(slurp(a), "new set-up");
    EXPECT_EQ(slurp(b), "new buoy");
}

// A link planted where a temporary file might go never redirects the write,
// and a link at the target itself is replaced, not written through.
#ifndef _WIN32
TEST(FileWriter, LinksAreNeverFollowed) {
    TempDir dir;
    FileWriter files;
    const std::string victim = dir.file("victim.txt");
    spit(victim, "precious");
    const std::string target = dir.file("out.txt");
    ASSERT_EQ(::symlink(victim.c_str(), target.c_str()), 0);
    ASSERT_TRUE(files.replace(target, "new"));
    EXPECT_EQ(slurp(victim), "precious");
    EXPECT_EQ(slurp(target), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(target.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}
#endif

TEST(FileWriter, MoveNeverOverwritesAndCopyReplaces) {
    TempDir dir;
    FileWriter files;
    const std::string from = dir.file("currentcapture.bmp"), to = dir.file("Smithjump1.bmp");
    spit(from, "picture");
    spit(to, "older");
    EXPECT_FALSE(files.move(from, to));
    EXPECT_EQ(slurp(from), "picture");
    EXPECT_EQ(slurp(to), "older");
    ASSERT_TRUE(files.remove(to));
    ASSERT_TRUE(files.remove(to));  // already gone
    ASSERT_TRUE(files.move(from, to));
    EXPECT_FALSE(std::filesystem::exists(from));
    ASSERT_TRUE(files.copy(to, from));
    EXPECT_EQ(slurp(from), "picture");
    EXPECT_FALSE(files.move(dir.file("none.bmp"), dir.file("x.bmp")));
    // What is not a file is not copied (a FIFO would be waited on forever).
    const WriteResult folder = files.copy(dir.path(), dir.file("y.bmp"));
    EXPECT_EQ(folder.error(), dir.path() + ": not a regular file");
#ifndef _WIN32
    const std::string fifo = dir.file("fifo.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(files.copy(fifo, dir.file("y.bmp")));
#endif
    EXPECT_FALSE(std::filesystem::exists(dir.file("y.bmp")));
}

TEST(FileReader, RefusesWhatIsNotARegularFileAndWhatIsTooLarge) {
    TempDir dir;
    std::string error;
#ifndef _WIN32
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(read_whole_file(fifo, kTextFileLimit, &error));  // returns at once
    EXPECT_NE(error.find("not a regular file"), std::string::npos);
    EXPECT_FALSE(is_regular_file(fifo));
#endif
    EXPECT_FALSE(read_whole_file(dir.path(), kTextFileLimit, &error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos);
    const std::string f = dir.file("a.ipt");
    spit(f, std::string(100, 'x'));
    EXPECT_FALSE(read_whole_file(f, 99, &error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    ASSERT_TRUE(read_whole_file(f, 100));
    EXPECT_EQ(read_whole_file(f, 100)->size(), 100u);
    EXPECT_TRUE(is_regular_file(f));
}

// Replacing a file that exists: a rename over it, which Windows refuses
// unless asked to replace; and a file a reader holds open, which Windows
// will not let go of, so the replacement fails cleanly there.
TEST(FileWriter, ReplacingAnExistingFileFollowsTheSystemsRules) {
    TempDir dir;
    FileWriter files;
    const std::string f = dir.file("LastJump.txt");
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(files.replace(f, "jump " + std::to_string(i) + "\r\n"));
        EXPECT_EQ(slurp(f), "jump " + std::to_string(i) + "\r\n");  // no CR added
    }
    ASSERT_TRUE(files.replace_all({{f, "a\r\n"}, {f + ".cb", "b\r\n"}}));
    ASSERT_TRUE(files.replace_all({{f, "c\r\n"}, {f + ".cb", "d\r\n"}}));
    EXPECT_EQ(slurp(f) + slurp(f + ".cb"), "c\r\nd\r\n");
    {
        std::ifstream reader(f, std::ios::binary);
        ASSERT_TRUE(reader.good());
        const WriteResult held = files.replace(f, "while read\r\n");
#ifdef _WIN32
        EXPECT_FALSE(held);
        EXPECT_EQ(held.error().rfind(f + ": ", 0), 0u) << held.error();
#else
        EXPECT_TRUE(held) << held.error();
#endif
    }
    EXPECT_TRUE(strays(dir, {"LastJump.txt", "LastJump.txt.cb"}).empty());
}

TEST(FileReader, AGigabyteFileIsRefusedUnread) {
    TempDir dir;
    const std::string f = dir.file("chosen by mistake.ipt");
    spit(f, "");
    std::filesystem::resize_file(f, std::uintmax_t{1} << 30);  // sparse where it can be
    std::string error;
    EXPECT_FALSE(read_whole_file(f, kSetupFileLimit, &error));
    EXPECT_EQ(error, f + ": too large for this kind of file");
}

}  // namespace
}  // namespace rs
