// The AVI header reader and the information lines: any file gives a record
// or a refusal, never a read outside the file.

#include "fuzz/fuzz_support.h"
#include "video/avi_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = rs::fuzz::input_file(data, size, "probe.avi");
    rs::AviFileInfoRecord record;
    const rs::AviReadStatus status = rs::read_avi_info(path, record);
    if (status == rs::AviReadStatus::Ok) {
        if (rs::describe_avi_lines(path, record).size() != 19)
            rs::fuzz::broken("an AVI read gives other than 19 information lines");
        (void)rs::avi_frame_rate(record.dwRate, record.dwScale);
    }
    rs::fuzz::SilentDialogs dialogs;
    const bool avi = rs::IsAviFile(path, dialogs);
    if (status == rs::AviReadStatus::Ok && !avi)
        rs::fuzz::broken("a record was read from a file that is not an AVI");
    (void)rs::DescribeAviFile(path, dialogs);
    (void)rs::AviFrameRate(path, dialogs);
    return 0;
}
