#pragma once
// The rules of the frame selection screen that need no screen: the jump
// video naming rule, the ".info" sidecar, the timing window a jump video
// must reach, the limits of the seconds fields, the replay loops, the free
// disk space shown beside the player, the frame taken for measuring, and the
// renaming of a capture whose skier name was changed to avoid an existing
// file. Frame numbers are 64-bit: a video longer than 32767 frames works.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/dialogs.h"

namespace rs {

// --- Jump video files -------------------------------------------------------

// video folder (one trailing separator removed) + separator + trimmed skier
// name + "jump" + trimmed pass + ".avi": Smith on pass 2 gives Smithjump2.avi.
std::string jump_video_path(std::string_view video_folder, std::string_view skier_name,
                            std::string_view pass);

// The video path with ".info" appended (Smithjump2.avi.info).
std::string info_sidecar_path(std::string_view video_path);

// The one line of a video's ".info" file: the video's path and the frame of
// first contact measured in it.
struct InfoSidecar {
    std::string video_path;
    double frame = 0;
};

// Reads the sidecar of a video; nothing when there is none or its line holds
// no comma. The frame is the number after the last comma, so a path that
// itself holds a comma still gives its frame.
std::optional<InfoSidecar> read_info_sidecar(const std::string& video_path);
// The same for the bytes of a sidecar file.
std::optional<InfoSidecar> parse_info_sidecar(std::string_view bytes);

inline constexpr const char* kAlreadyMeasuredTitle = "Start Already Measured Warning";
// "File already measured - start frame is  412" (browsing) or "... - contact
// frame is  412" (a video chosen in the log viewer).
std::string already_measured_message(const InfoSidecar& sidecar, bool contact_frame);

// --- The timing window -------------------------------------------------------

// Rounded to the nearest whole number, halves to the even neighbour.
double round_half_even(double value);

// Frames a jump video must hold beyond the start: 599 at exactly 30 frames
// per second, otherwise 20 seconds' worth (500 at 25); 15 seconds' worth
// with barefoot timing (450 at 30, no special case).
std::int64_t frames_to_end(double frame_rate, bool barefoot);

inline constexpr const char* kTooShortTitle = "Captured File too short Warning";
// The message shown when start + window lies beyond the end of the video.
std::string too_short_message(std::int64_t video_length, std::int64_t end_frame, bool barefoot);

// --- The seconds fields ------------------------------------------------------

inline constexpr double kBeforeStartMin = 1;  // Text4
inline constexpr double kBeforeStartMax = 5;
inline constexpr double kBeforeEndMin = 1;  // Text7
inline constexpr double kBeforeEndMax = 22;

// The text a seconds field must be replaced by: "low" for a value below low
// (empty and non-numeric text count as 0), "high" above high; nothing when
// the text may stay.
std::optional<std::string> limit_seconds_text(std::string_view text, double low, double high);

// --- Taking the frame ------------------------------------------------------

// The frame taken for measuring at a player position: the position rounded,
// and never below frame 2.
std::int64_t frame_to_take(double position);

// The frame one step back from position: nothing at position 1 or below.
std::optional<std::int64_t> frame_back(std::int64_t position);

// --- The replay loops ----------------------------------------------------------

// Where the keyboard focus goes after a replay order.
enum class ReplayFocus { None, Player, PlayBeforeStart, PlayBeforeEnd, PlayAndPause };

// What the screen does to its player and replay timer, in this order:
// display size, selection, play, timer, focus. The replay timer is stopped
// on every tick before the order is carried out.
struct ReplayOrder {
    std::optional<int> display_size;  // 3 full screen, 0 normal, 4 fit
    std::optional<std::pair<std::int64_t, std::int64_t>> selection;
    bool play = false;
    std::optional<int> timer_ms;       // start the replay timer
    std::optional<std::string> text5;  // the interval shown in Text5
    ReplayFocus focus = ReplayFocus::None;
    bool uncheck_play_after = false;     // cbPlayAfter
    bool disable_mark = false;           // cmdMarkStart
    std::optional<std::string> message;  // the too-short message, no replay
};

// The values the replays read from the screen's controls at the moment.
struct ReplayInputs {
    double position = 0;              // the player's position
    double seconds_before_start = 2;  // Text4
    double start_loops = 1;           // txtStartLoop
    double seconds_before_end = 5;    // Text7
    double end_loops = 1;             // txtEndLoop
    bool full_screen = false;         // cbFullScreen
    bool play_after = false;          // cbPlayAfter
    bool barefoot = false;            // the main screen's barefoot timing box
};

// The screen's values while it is open and the replay state machine:
// idle, the before-start loop, the before-end loop and its after-end
// replay. A loop count of N replays N times; a loop that ends (or is
// replaced by the other loop) leaves its mode, so either button works again.
struct FrameSelection {
    double frame_rate = 0;
    std::int64_t video_length = 0;
    std::int64_t start_frame = 0;
    std::int64_t frames_to_end = 0;
    std::int64_t end_frame = 0;
    std::int64_t loop_count = 0;
    bool start_taken = false;
    bool marking = false;
    bool before_start = false;
    bool before_end = false;
    bool after_end = false;
    std::pair<std::int64_t, std::int64_t> selection{0, 0};
    int replay_ms = 0;  // the before-start replay's timer interval

    // Command5: a replay of the seconds before the start position; nothing
    // while the before-start loop runs.
    std::optional<ReplayOrder> play_before_start(const ReplayInputs& in);
    // Command7: the length check, then a replay of the seconds before the
    // end of the timing window; nothing while the before-end loop runs.
    std::optional<ReplayOrder> play_before_end(const ReplayInputs& in);
    // Timer1: the end or the repetition of a replay.
    ReplayOrder tick(const ReplayInputs& in);

    // cmdMarkStart: the start frame becomes the frame to take.
    std::int64_t take_frame(double position);

  private:
    std::pair<std::int64_t, std::int64_t> before_end_selection(double seconds) const;
};

// --- Free disk space -----------------------------------------------------------

// What the space label names: a drive ("D:") when the folder starts with
// one; otherwise the folder itself (POSIX has no drive letters), or "C:" for
// no folder on Windows.
std::string disk_space_place(std::string_view video_folder);

// Free bytes of the file system that holds the folder (or would hold it:
// the nearest existing parent); nothing when it cannot be asked.
std::optional<std::uintmax_t> free_bytes_of(const std::string& folder);

inline constexpr std::uintmax_t kLowDiskMegabytes = 200;
// Whole decimal megabytes, rounded down: " 199 MB".
std::string disk_space_text(std::uintmax_t free_bytes);
// True below 200 MB (199.9 MB is low, 200.0 MB is not).
bool disk_space_low(std::uintmax_t free_bytes);

// --- Renaming a capture whose name was changed ---------------------------------

inline constexpr const char* kFixNameTitle = "Fix the skier's name";

struct RenameDecision {
    std::string new_path;  // the video's path from now on
    std::string name;      // the skier's name from now on
    bool move = false;     // the captured file is to be moved to new_path
};

// Asks for the skier's name after the capture screen appended "X" to it to
// avoid overwriting a file, and forms the path the captured video should
// take. A name that cannot be part of a file name (separators, ':', '*',
// '?', '"', '<', '>', '|', ',', control characters) is refused and asked
// again; an existing file of another video is never chosen.
RenameDecision decide_capture_rename(Dialogs& dialogs, std::string_view video_folder,
                                     const std::string& captured_path,
                                     const std::string& current_name,
                                     const std::function<bool(const std::string&)>& file_exists);

// Moves the captured video to its new path; false (and why in error) when it
// cannot, or when a file is already there.
bool move_video_file(const std::string& from, const std::string& to, std::string* error);

}  // namespace rs
