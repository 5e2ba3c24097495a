#pragma once
// The AVI header probe and the file information record, read by our own
// bounds-checked RIFF reader from the "avih" and "strh" headers (no decoder
// is involved), the single values derived from the record, and the
// information lines the frame selection screen lists for an opened video.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace rs {

// Capability and flag bits, with the values the AVI format publishes.
inline constexpr std::uint32_t kAviCapsCanRead = 0x1;
inline constexpr std::uint32_t kAviCapsCanWrite = 0x2;
inline constexpr std::uint32_t kAviCapsAllKeyFrames = 0x10;
inline constexpr std::uint32_t kAviCapsNoCompression = 0x20;
inline constexpr std::uint32_t kAviFlagHasIndex = 0x10;
inline constexpr std::uint32_t kAviFlagMustUseIndex = 0x20;
inline constexpr std::uint32_t kAviFlagIsInterleaved = 0x100;
inline constexpr std::uint32_t kAviFlagWasCaptureFile = 0x10000;
inline constexpr std::uint32_t kAviFlagCopyrighted = 0x20000;

// The file information of an AVI video.
struct AviFileInfoRecord {
    std::uint32_t dwFlags = 0;
    std::uint32_t dwCaps = 0;
    std::uint32_t dwWidth = 0;
    std::uint32_t dwHeight = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwLength = 0;
    std::string szFileType;  // at most 63 characters, as the record holds it
};

// True when the file starts with "RIFF" and bytes 8-11 are "AVI " (exact
// case). A missing, locked or unreadable file gets its message box and
// false; a file that is simply not an AVI gets false without a message.
bool IsAviFile(const std::string& path, Dialogs& dialogs);

enum class AviReadStatus {
    Ok,
    CannotOpen,  // missing, unreadable, or not a RIFF "AVI " file
    BadHeader,   // an AVI whose main header is missing, cut short or inconsistent
};

// Reads the record without any message; record is reset first.
AviReadStatus read_avi_info(const std::string& path, AviFileInfoRecord& record);

// Reads the record; on failure shows the critical message "Unable to open
// file:" or "Unable to read AVI file info from:" with the path, and false.
bool ReadAviFileInfo(const std::string& path, AviFileInfoRecord& record, Dialogs& dialogs);

// Frames per second rounded to a whole number, half to even (29.97 gives 30,
// 12.5 gives 12); 0 when the scale is 0.
std::uint32_t avi_frame_rate(std::uint32_t rate, std::uint32_t scale);

// The derived values, each from a fresh read of the file's record. When the
// record cannot be read the failure message is shown and the value is 0,
// false or the empty text.
std::uint32_t AviWidth(const std::string& path, Dialogs& dialogs);
std::uint32_t AviHeight(const std::string& path, Dialogs& dialogs);
std::uint32_t AviLength(const std::string& path, Dialogs& dialogs);
std::uint32_t AviFrameRate(const std::string& path, Dialogs& dialogs);
std::string AviFileType(const std::string& path, Dialogs& dialogs);
bool AviCompressed(const std::string& path, Dialogs& dialogs);
bool AviAllKeyFrames(const std::string& path, Dialogs& dialogs);
bool AviCanRead(const std::string& path, Dialogs& dialogs);
bool AviCanWrite(const std::string& path, Dialogs& dialogs);
bool AviCopyrighted(const std::string& path, Dialogs& dialogs);
bool AviWasCaptureFile(const std::string& path, Dialogs& dialogs);
bool AviHasIndex(const std::string& path, Dialogs& dialogs);
bool AviMustUseIndex(const std::string& path, Dialogs& dialogs);
bool AviIsInterleaved(const std::string& path, Dialogs& dialogs);

// The 19 information lines for a record already read ("Filename: " ...
// "Interleaved: True").
std::vector<std::string> describe_avi_lines(const std::string& path,
                                            const AviFileInfoRecord& record);

// The information lines of the file. The record is read once: a file that
// cannot be read gives one failure message and lines of zeros, "False" and
// an empty file type.
std::vector<std::string> DescribeAviFile(const std::string& path, Dialogs& dialogs);

}  // namespace rs
