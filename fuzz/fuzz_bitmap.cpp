// The bitmap reader: any file is loaded as a bitmap or refused with its
// message; a bitmap loaded writes a file that loads as the same picture.

#include <cstring>

#include "fuzz/fuzz_support.h"
#include "video/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = rs::fuzz::input_file(data, size, "in.bmp");
    rs::fuzz::SilentDialogs dialogs;
    rs::cDIB dib;
    if (dib.CreateFromFile(path, dialogs)) {
        const std::vector<std::uint8_t> bytes = dib.FileBytes();
        const std::string again = rs::fuzz::input_file(bytes.data(), bytes.size(), "again.bmp");
        rs::cDIB copy;
        if (!copy.CreateFromFile(again, dialogs))
            rs::fuzz::broken("a bitmap written from a loaded one does not load");
        if (copy.FileBytes() != bytes)
            rs::fuzz::broken("a bitmap written and loaded again is not the same");
    } else if (dialogs.messages == 0) {
        rs::fuzz::broken("a refused bitmap gave the operator no message");
    }
    // The packed form (an information header and the pixels, as the
    // clipboard hands them over) from the same bytes.
    rs::cDIB packed;
    (void)packed.CreateFromPackedDIBPointer(data, size);
    return 0;
}
