#include "measure/exchange_files.h"

#include "platform/folder_files.h"
#include "platform/paths.h"

namespace rs {

std::string exchange_result(const std::string& comment, const std::string& meters,
                            const std::string& feet, const std::string& jump_number) {
    if (comment == "Fall" || comment == "Pass")
        return comment + ", 0, 0," + jump_number;
    return "OK, " + meters + ", " + feet + ", " + jump_number;
}

std::string name_before_comma(const std::string& skier) {
    return skier.substr(0, skier.find(','));
}

std::string raw_result_line(const DateTime& now, const std::string& skier,
                            const std::string& result) {
    return time_text(now) + " ," + name_before_comma(skier) + "," + result;
}

WriteResult write_exchange_files(FileWriter& files, const std::string& exchange_folder,
                                 const DateTime& now, const std::string& skier,
                                 const std::string& result) {
    // The folder is looked for first so that a missing one is named as such
    // rather than by the temporary file that could not be made in it.
    if (!PathExists(exchange_folder, 1))
        return WriteResult::failure(exchange_folder + ": the exchange folder does not exist");
    WriteResult last =
        files.replace(join_path(exchange_folder, kLastResultFile), result + std::string(kCrLf));
    if (!last)
        return last;
    return files.append_lines(join_path(exchange_folder, kAllResultsFile),
                              {raw_result_line(now, skier, result)});
}

int remove_exchange_pictures(FileWriter& files, const std::string& exchange_folder) {
    int removed = 0;
    for (const std::string& path : regular_files_with_extension(exchange_folder, ".bmp")) {
        if (files.remove(path))
            ++removed;
    }
    return removed;
}

}  // namespace rs
