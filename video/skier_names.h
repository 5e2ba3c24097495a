#pragma once
// The skier names the operator need not type: the skier list
// "SkierNames.txt" (built by importing any text or rich-text file, picked
// from on the skier list screen, its first line the capture screen's
// default) and the name the scoring program leaves in "rsskier.nam".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_writer.h"

namespace rs {

inline constexpr const char* kSkierNamesFile = "SkierNames.txt";
inline constexpr const char* kTempSkierNamesFile = "TempSkierNames.txt";
inline constexpr const char* kScoringNameFile = "rsskier.nam";

inline constexpr const char* kNoSkierNamesMessage =
    "No file of skier names called SkierNames.txt exists in the application directory";
// The capture screen's name when there is no skier list.
inline constexpr const char* kNoListSkierName = "Skier Name";

// A file chosen for import may be a rich-text document with pictures in it;
// the list it gives, and "rsskier.nam", are small.
inline constexpr std::uint64_t kImportFileLimit = 16 * 1024 * 1024;
inline constexpr std::uint64_t kScoringNameLimit = 64 * 1024;

// The character rule: blank, digits, letters, "-" and "_" are kept, a tab
// becomes a blank, every other byte (commas, full stops, apostrophes, the
// bytes of accented letters in any encoding) is dropped.
std::string clean_skier_name(std::string_view line);

// Last name, comma, first name becomes first name, blank, last name: while
// the text holds a comma it becomes (after the first comma) + " " + (before
// it). A blank after the comma stays as a leading blank.
std::string rotate_at_commas(std::string text);

// The plain text of a file chosen for import: a rich-text document (it
// starts with "{\rtf") becomes its text, anything else is taken as it is.
std::string imported_plain_text(const std::string& bytes);

// "SkierNames.txt" for a plain text: every line cleaned by the character
// rule, empty lines included, each ended with CR LF.
std::vector<std::string> cleaned_lines(const std::string& plain_text);

struct SkierImport {
    bool ok = false;
    // "<path>: <reason>" when the chosen file could not be read or a list
    // file could not be written; nothing was changed then.
    std::string error;
    // The last cleaned line; nothing when the file had no line.
    std::optional<std::string> last_name;
};

// Imports the file at source: its plain text replaces "TempSkierNames.txt"
// and its cleaned lines replace "SkierNames.txt" in app_folder, both
// together (a failure leaves both lists as they were).
SkierImport import_skier_names(FileWriter& files, const std::string& source,
                               const std::string& app_folder);

// The skier list screen's lines: every line of "SkierNames.txt" cleaned
// again, in file order; nothing when the file is missing or unreadable
// (error then receives the reason).
std::optional<std::vector<std::string>> skier_list(const std::string& app_folder,
                                                   std::string* error = nullptr);

// The capture screen's name at its load: "Skier Name" without a list, the
// first line of the list with its commas rotated, or current when that line
// is empty.
std::string capture_default_name(const std::string& app_folder, const std::string& current);

// The first field of "rsskier.nam": up to the first comma or the end of the
// first line, blanks around it skipped, a quoted field taken to its closing
// quote without the quotes. Nothing when the file is missing, unreadable or
// its first line holds no name (error then receives the reason).
std::optional<std::string> scoring_program_name(const std::string& exchange_folder,
                                                std::string* error = nullptr);
// The same rule on the file's bytes.
std::optional<std::string> scoring_name_from_text(const std::string& bytes);

}  // namespace rs
