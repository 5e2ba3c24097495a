// "clipflag.txt", the clipboard hand-shake: any bytes are a signal only
// when their first field is "Ready"; a signal taken leaves the file as a
// line of two blanks, anything else leaves the file as it was.

#include "fuzz/fuzz_support.h"
#include "measure/live_pictures.h"
#include "platform/file_reader.h"

namespace {

class UnflushedWriter final : public rs::FileWriter {
  protected:
    int sys_fsync(int) override { return 0; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string field = rs::first_field(bytes);
    if (field.size() > size)
        rs::fuzz::broken("the first field is longer than the text");
    static UnflushedWriter files;
    const std::string path = rs::fuzz::input_file(data, size, rs::kClipFlagFile);
    const bool taken = rs::take_clipboard_signal(files, rs::fuzz::scratch_folder());
    const bool ready = size <= rs::kSmallTextLimit && field == "Ready";
    if (taken != ready)
        rs::fuzz::broken("a signal was taken from another text or missed");
    const auto after = rs::read_whole_file(path, rs::kSmallTextLimit + 1);
    if (!after || *after != (taken ? std::string("  \r\n") : bytes))
        rs::fuzz::broken("the flag file is not what the signal leaves");
    return 0;
}
