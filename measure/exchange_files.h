#pragma once
// The files the scoring program (WSTIMS) reads from the exchange folder:
// "rsresult.dst", one line holding the last recorded result, replaced as a
// whole so the scoring program never reads half of it; and "rsraw.dst", one
// line appended per recorded jump. Also the clean-up of the pictures other
// programs leave in the exchange folder.

#include <string>

#include "core/text_forms.h"
#include "platform/file_writer.h"

namespace rs {

inline constexpr const char* kLastResultFile = "rsresult.dst";
inline constexpr const char* kAllResultsFile = "rsraw.dst";

// The result part of both files, chosen by the comment: exactly "Fall" or
// "Pass" gives "Fall, 0, 0," or "Pass, 0, 0," followed directly by the jump
// number; anything else "OK, " meters ", " feet ", " jump number. The texts
// are used as they stand (Str forms carry their leading blank).
std::string exchange_result(const std::string& comment, const std::string& meters,
                            const std::string& feet, const std::string& jump_number);

// The skier name up to (not including) its first comma.
std::string name_before_comma(const std::string& skier);

// A line of "rsraw.dst" without its line end: time, " ,", the name before
// its first comma, ",", the result part.
std::string raw_result_line(const DateTime& now, const std::string& skier,
                            const std::string& result);

// Replaces "rsresult.dst" with the result line, then appends the line of
// "rsraw.dst"; stops at the first failure (the folder missing, a full disk)
// and says what failed. The exchange folder is never created here: it
// belongs to the installation of the scoring link.
WriteResult write_exchange_files(FileWriter& files, const std::string& exchange_folder,
                                 const DateTime& now, const std::string& skier,
                                 const std::string& result);

inline constexpr const char* kExchangeErrorPrefix = "Error while writing WSTIMS result: ";

// Removes every regular "*.bmp" file directly in the exchange folder (the
// snapshot and clipboard pictures handed over by other programs), never
// following a link and never leaving the folder. Returns how many went.
int remove_exchange_pictures(FileWriter& files, const std::string& exchange_folder);

}  // namespace rs
