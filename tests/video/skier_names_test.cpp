#include "video/skier_names.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/support/failing_file_writer.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using test::slurp;
using test::spit;

TEST(SkierNames, CharacterRuleKeepsLettersDigitsBlankDashUnderscoreAndTurnsATabIntoABlank) {
    EXPECT_EQ(clean_skier_name("O'Brien, Sean"), "OBrien Sean");
    EXPECT_EQ(clean_skier_name("Smith\tJohn"), "Smith John");
    EXPECT_EQ(clean_skier_name("Smith,John"), "SmithJohn");
    EXPECT_EQ(clean_skier_name("Anne-Marie_2 Z.a;z:9/0\\x"), "Anne-Marie_2 Zaz90x");
    // The bytes of an accented letter (UTF-8 or code page 1252), control
    // characters, the bytes next to each kept range.
    EXPECT_EQ(clean_skier_name("Jos\xC3\xA9 Mu\xF1oz"), "Jos Muoz");
    const char bytes[] = "a\0b\x1F\x7F\r\n@[`{/:";
    EXPECT_EQ(clean_skier_name(std::string(bytes, sizeof bytes - 1)), "ab");
}

TEST(SkierNames, CommasRotateLastNameFirstNameIntoFirstNameLastName) {
    EXPECT_EQ(rotate_at_commas("Smith,John"), "John Smith");
    // A blank after the comma stays as a leading blank.
    EXPECT_EQ(rotate_at_commas("Smith, John"), " John Smith");
    // Each further comma rotates once more.
    EXPECT_EQ(rotate_at_commas("a,b,c"), "c a b");
    EXPECT_EQ(rotate_at_commas("Smith,"), " Smith");
    EXPECT_EQ(rotate_at_commas(",,"), "  ");
    EXPECT_EQ(rotate_at_commas("Smith John"), "Smith John");
}

TEST(SkierNames, ImportWritesThePlainCopyAndTheCleanedListEmptyLinesIncluded) {
    test::TempDir tmp;
    const std::string app = tmp.make_dir("app");
    const std::string source = tmp.file("names.txt");
    spit(source, "O'Brien, Sean\nSmith\tJohn\n\nM\xC3\xBCller, J.\r\nLast");
    FileWriter files;
    const SkierImport r = import_skier_names(files, source, app);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.last_name, "Last");
    EXPECT_EQ(slurp(join_path(app, "TempSkierNames.txt")),
              "O'Brien, Sean\r\nSmith\tJohn\r\n\r\nM\xC3\xBCller, J.\r\nLast\r\n");
    EXPECT_EQ(slurp(join_path(app, "SkierNames.txt")),
              "OBrien Sean\r\nSmith John\r\n\r\nMller J\r\nLast\r\n");
    auto list = skier_list(app);
    ASSERT_TRUE(list);
    EXPECT_EQ(*list,
              (std::vector<std::string>{"OBrien Sean", "Smith John", "", "Mller J", "Last"}));
}

TEST(SkierNames, ARichTextFileIsImportedAsItsText) {
    test::TempDir tmp;
    const std::string app = tmp.make_dir("app");
    const std::string source = tmp.file("names.rtf");
    spit(source,
         "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 O'Brien, Sean\\par Smith\\tab John\\par "
         "Fran\\'e7ois, L\\par}");
    FileWriter files;
    const SkierImport r = import_skier_names(files, source, app);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(slurp(join_path(app, "SkierNames.txt")),
              "OBrien Sean\r\nSmith John\r\nFranois L\r\n");
    EXPECT_EQ(r.last_name, "Franois L");
}

TEST(SkierNames, AUnicodeTextFromAWindowsEditorIsReadAsItsCharacters) {
    // "Smith, J" CR LF "Doe" in UTF-16 little-endian behind its byte order
    // mark: byte by byte, each letter would be followed by a zero and each
    // line end would add an empty line.
    std::string le = "\xFF\xFE";
    for (char c : std::string("Smith, J\r\nDoe")) {
        le.push_back(c);
        le.push_back('\0');
    }
    EXPECT_EQ(imported_plain_text(le), "Smith, J\r\nDoe");
    std::string be = "\xFE\xFF";
    for (char c : std::string("Doe")) {
        be.push_back('\0');
        be.push_back(c);
    }
    EXPECT_EQ(imported_plain_text(be), "Doe");
    // A rich-text document saved as Unicode is still a rich-text document.
    std::string rtf = "\xFF\xFE";
    for (char c : std::string("{\\rtf1 A\\par B}")) {
        rtf.push_back(c);
        rtf.push_back('\0');
    }
    EXPECT_EQ(imported_plain_text(rtf), "A\nB");
}

TEST(SkierNames, AFailedImportChangesNeitherList) {
    test::TempDir tmp;
    const std::string app = tmp.make_dir("app");
    const std::string names = join_path(app, "SkierNames.txt");
    const std::string temp = join_path(app, "TempSkierNames.txt");
    spit(names, "Old\r\n");
    spit(temp, "Old\r\n");
    const std::string source = tmp.file("new.txt");
    spit(source, std::string(5000, 'a') + "\r\nNew\r\n");

    test::FailingFileWriter files;
    files.fail_after_bytes(4000);
    SkierImport r = import_skier_names(files, source, app);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("No space left on device"), std::string::npos) << r.error;
    EXPECT_FALSE(r.last_name);
    files.heal();
    files.fail_at_rename();
    r = import_skier_names(files, source, app);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(slurp(names), "Old\r\n");
    EXPECT_EQ(slurp(temp), "Old\r\n");

    // A file that cannot be read (missing, or far larger than any list).
    files.heal();
    r = import_skier_names(files, tmp.file("missing.txt"), app);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("missing.txt"), std::string::npos);
    const std::string huge = tmp.file("huge.txt");
    spit(huge, std::string(kImportFileLimit + 1, 'a'));
    r = import_skier_names(files, huge, app);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(slurp(names), "Old\r\n");
}

TEST(SkierNames, AnEmptyFileImportsAnEmptyListAndNoName) {
    test::TempDir tmp;
    const std::string app = tmp.make_dir("app");
    const std::string source = tmp.file("empty.txt");
    spit(source, "");
    FileWriter files;
    const SkierImport r = import_skier_names(files, source, app);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.last_name);
    EXPECT_EQ(slurp(join_path(app, "SkierNames.txt")), "");
    EXPECT_TRUE(FileExists(join_path(app, "SkierNames.txt")));
}

TEST(SkierNames, CaptureDefaultIsTheFirstLineRotatedAtItsCommas) {
    test::TempDir tmp;
    const std::string app = tmp.make_dir("app");
    const std::string names = join_path(app, "SkierNames.txt");
    EXPECT_EQ(capture_default_name(app, "typed"), "Skier Name");
    spit(names, "Smith,John\r\nDoe\r\n");
    EXPECT_EQ(capture_default_name(app, "typed"), "John Smith");
    // The list screen shows the same line cleaned.
    EXPECT_EQ(skier_list(app)->front(), "SmithJohn");
    spit(names, "\r\nDoe\r\n");
    EXPECT_EQ(capture_default_name(app, "typed"), "typed");
    spit(names, "");
    EXPECT_EQ(capture_default_name(app, "typed"), "typed");
    // A list saved by a text editor with a UTF-8 mark in front.
    spit(names, "\xEF\xBB\xBFSmith,John\r\n");
    EXPECT_EQ(capture_default_name(app, "typed"), "John Smith");
}

TEST(SkierNames, ScoringProgramNameIsTheFirstFieldOfTheFirstLine) {
    EXPECT_EQ(scoring_name_from_text("Smith, John\r\n"), "Smith");
    EXPECT_EQ(scoring_name_from_text("Smith John\r\n"), "Smith John");
    EXPECT_EQ(scoring_name_from_text("Smith John"), "Smith John");
    EXPECT_EQ(scoring_name_from_text("  \"Smith, John\" ,12\r\nx"), "Smith, John");
    EXPECT_EQ(scoring_name_from_text("\"Smith"), "Smith");
    EXPECT_EQ(scoring_name_from_text("Doe\r\nSmith, John\r\n"), "Doe");
    EXPECT_FALSE(scoring_name_from_text(""));
    EXPECT_FALSE(scoring_name_from_text("\r\nSmith\r\n"));
    EXPECT_FALSE(scoring_name_from_text(" , Smith"));

    test::TempDir tmp;
    const std::string rsio = tmp.make_dir("rsio");
    std::string error;
    EXPECT_FALSE(scoring_program_name(rsio, &error));
    EXPECT_NE(error.find("rsskier.nam"), std::string::npos);
    spit(join_path(rsio, "rsskier.nam"), "Smith, John\r\n");
    EXPECT_EQ(scoring_program_name(rsio), "Smith");
    spit(join_path(rsio, "rsskier.nam"), "\r\n");
    EXPECT_FALSE(scoring_program_name(rsio, &error));
    EXPECT_NE(error.find("no name"), std::string::npos);
}

}  // namespace
}  // namespace rs
