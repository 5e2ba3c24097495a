#include "video/frame_selection.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <system_error>

#include "core/text_forms.h"
#include "platform/file_reader.h"
#include "platform/paths.h"
#include "video/capture_rules.h"

namespace rs {

namespace fs = std::filesystem;

std::string jump_video_path(std::string_view video_folder, std::string_view skier_name,
                            std::string_view pass) {
    const std::string folder = strip_trailing_separator(video_folder);
    return folder + kPathSeparator + trim(skier_name) + "jump" + trim(pass) + ".avi";
}

std::string info_sidecar_path(std::string_view video_path) {
    return std::string(video_path) + ".info";
}

std::optional<InfoSidecar> read_info_sidecar(const std::string& video_path) {
    // One line of a path and a number is all the file holds; anything larger
    // is not a sidecar this program wrote, and a FIFO or a device put in its
    // place is not waited on.
    constexpr std::uint64_t kSidecarLimit = 64 * 1024;
    auto bytes = read_whole_file(info_sidecar_path(video_path), kSidecarLimit);
    if (!bytes)
        return std::nullopt;
    return parse_info_sidecar(*bytes);
}

std::optional<InfoSidecar> parse_info_sidecar(std::string_view bytes) {
    const std::string_view line = bytes.substr(0, bytes.find_first_of("\r\n"));
    const auto comma = line.rfind(',');
    if (comma == std::string::npos)
        return std::nullopt;
    InfoSidecar sidecar;
    sidecar.video_path = std::string(line.substr(0, comma));
    sidecar.frame = text_to_number(line.substr(comma + 1));
    return sidecar;
}

std::string already_measured_message(const InfoSidecar& sidecar, bool contact_frame) {
    return std::string(contact_frame ? "File already measured - contact frame is "
                                     : "File already measured - start frame is ") +
           signed_number(sidecar.frame);
}

double round_half_even(double value) {
    if (!std::isfinite(value))
        return 0;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5)
        return floor;
    if (diff > 0.5)
        return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

namespace {

// A double that stands for a frame number or a count, rounded half to even
// and kept within 64 bits.
std::int64_t to_frames(double value) {
    const double r = round_half_even(value);
    constexpr double kMax = 9.0e18;
    if (r >= kMax)
        return static_cast<std::int64_t>(kMax);
    if (r <= -kMax)
        return -static_cast<std::int64_t>(kMax);
    return static_cast<std::int64_t>(r);
}

// A timer interval in milliseconds, truncated as the interval fields are,
// and kept to something a timer can run.
int to_interval(double ms) {
    if (!std::isfinite(ms) || ms < 1)
        return 1;
    if (ms > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    return static_cast<int>(ms);
}

}  // namespace

std::int64_t frames_to_end(double frame_rate, bool barefoot) {
    if (barefoot)
        return to_frames(15 * frame_rate);
    // 20 s at 30 frames per second ends on frame 599 counted from the start.
    if (frame_rate == 30)
        return 599;
    return to_frames(20 * frame_rate);
}

std::string too_short_message(std::int64_t video_length, std::int64_t end_frame, bool barefoot) {
    return "I am sorry, but the file is only " + signed_number(static_cast<double>(video_length)) +
           " frames long and the " +
           "start position you have selected means that the end should be at frame " +
           signed_number(static_cast<double>(end_frame)) +
           " which is not possible with this file." +
           " You may have to recapture from the video recorder if you did not capture a " +
           (barefoot ? "full 15 seconds from the start of the run."
                     : "full 20 seconds from the start of the run.");
}

std::optional<std::string> limit_seconds_text(std::string_view text, double low, double high) {
    const double value = text_to_number(text);
    if (value < low)
        return plain_number(low);
    if (value > high)
        return plain_number(high);
    return std::nullopt;
}

std::int64_t frame_to_take(double position) {
    const std::int64_t frame = to_frames(position);
    return frame < 2 ? 2 : frame;
}

std::optional<std::int64_t> frame_back(std::int64_t position) {
    if (position > 1)
        return position - 1;
    return std::nullopt;
}

std::optional<ReplayOrder> FrameSelection::play_before_start(const ReplayInputs& in) {
    if (before_start)
        return std::nullopt;
    ReplayOrder order;
    if (in.full_screen)
        order.display_size = 3;
    const int interval = to_interval(in.seconds_before_start * 1000 + 300);
    order.text5 = signed_number(interval);
    int timer = interval;
    loop_count = to_frames(in.start_loops);
    if (!marking)
        start_frame = to_frames(in.position);
    const double s = static_cast<double>(start_frame) - in.seconds_before_start * frame_rate;
    if (s <= 1) {
        selection.first = 0;
        // Only the frames from the first one are left to replay. A video
        // whose rate is unknown keeps the full interval.
        if (frame_rate > 0)
            timer = to_interval(
                round_half_even(static_cast<double>(start_frame) / frame_rate * 1000 + 300));
    } else {
        selection.first = to_frames(s);
    }
    selection.second = start_frame == 0 ? 1 : start_frame;
    // The newest replay owns the timer: a running before-end loop ends here.
    before_end = false;
    after_end = false;
    before_start = true;
    start_taken = true;
    order.selection = selection;
    order.play = true;
    order.timer_ms = timer;
    replay_ms = timer;
    order.focus = in.full_screen ? ReplayFocus::None : ReplayFocus::Player;
    return order;
}

std::pair<std::int64_t, std::int64_t> FrameSelection::before_end_selection(double seconds) const {
    std::int64_t first = to_frames(static_cast<double>(end_frame) - seconds * frame_rate);
    if (first < 0)
        first = 0;
    return {first, end_frame};
}

std::optional<ReplayOrder> FrameSelection::play_before_end(const ReplayInputs& in) {
    if (before_end)
        return std::nullopt;
    ReplayOrder order;
    if (in.full_screen)
        order.display_size = 3;
    loop_count = to_frames(in.end_loops);
    frames_to_end = rs::frames_to_end(frame_rate, in.barefoot);
    if (!start_taken) {
        start_frame = to_frames(in.position);
        start_taken = true;
    }
    marking = true;
    order.disable_mark = true;
    end_frame = start_frame + frames_to_end;
    if (end_frame > video_length) {
        order.message = too_short_message(video_length, end_frame, in.barefoot);
        return order;
    }
    before_start = false;
    before_end = true;
    after_end = false;
    selection = before_end_selection(in.seconds_before_end);
    order.selection = selection;
    order.timer_ms = to_interval(in.seconds_before_end * 1000 + 1500);
    order.play = true;
    order.focus = in.full_screen ? ReplayFocus::None : ReplayFocus::Player;
    return order;
}

ReplayOrder FrameSelection::tick(const ReplayInputs& in) {
    ReplayOrder order;
    if (before_start) {
        --loop_count;
        if (loop_count < 1) {
            before_start = false;
            order.display_size = 0;
            order.focus = ReplayFocus::PlayBeforeStart;
            return order;
        }
        // Again, with the timer restarted so that the loop count is kept.
        order.selection = selection;
        order.play = true;
        order.timer_ms = replay_ms;
        return order;
    }
    if (!before_end)
        return order;
    if (after_end) {
        --loop_count;
        selection = before_end_selection(in.seconds_before_end);
        order.selection = selection;
        if (loop_count < 1) {
            before_end = false;
            after_end = false;
            order.display_size = 0;
            order.focus = ReplayFocus::PlayAndPause;
            return order;
        }
        after_end = false;
        order.timer_ms = to_interval(in.seconds_before_end * 1000 + 300);
        order.play = true;
        return order;
    }
    if (in.play_after) {
        order.uncheck_play_after = true;
        std::int64_t last = end_frame + to_frames(2 * frame_rate);
        if (video_length > 0 && last > video_length - 1)
            last = video_length - 1;
        selection = {end_frame, last < end_frame ? end_frame : last};
        after_end = true;
        order.selection = selection;
        order.timer_ms = 2100;
        order.play = true;
        return order;
    }
    --loop_count;
    if (loop_count < 1) {
        before_end = false;
        order.display_size = 4;
        order.focus = ReplayFocus::PlayBeforeEnd;
        return order;
    }
    selection = before_end_selection(in.seconds_before_end);
    order.selection = selection;
    order.timer_ms = to_interval(in.seconds_before_end * 1000 + 300);
    order.play = true;
    return order;
}

std::int64_t FrameSelection::take_frame(double position) {
    marking = true;
    start_frame = frame_to_take(position);
    start_taken = true;
    return start_frame;
}

std::string disk_space_place(std::string_view video_folder) {
    if (video_folder.size() >= 2 && video_folder[1] == ':')
        return std::string(video_folder.substr(0, 2));
#ifdef _WIN32
    return "C:";
#else
    return video_folder.empty() ? std::string("/") : std::string(video_folder);
#endif
}

std::optional<std::uintmax_t> free_bytes_of(const std::string& folder) {
    std::error_code ec;
    fs::path p = folder.empty() ? fs::current_path(ec) : fs::path(folder);
    if (ec)
        return std::nullopt;
    p = fs::absolute(p, ec);
    if (ec)
        return std::nullopt;
    // A folder still to be made lands on the file system of its nearest
    // existing parent.
    while (!fs::exists(p, ec) && p.has_parent_path() && p.parent_path() != p)
        p = p.parent_path();
    const fs::space_info info = fs::space(p, ec);
    if (ec || info.available == static_cast<std::uintmax_t>(-1))
        return std::nullopt;
    return info.available;
}

std::string disk_space_text(std::uintmax_t free_bytes) {
    return signed_number(static_cast<double>(free_bytes / 1000000)) + " MB";
}

bool disk_space_low(std::uintmax_t free_bytes) {
    return free_bytes / 1000000 < kLowDiskMegabytes;
}

namespace {

constexpr const char* kFixNamePrompt =
    "The skier's name was changed to prevent overwriting "
    "an existing file. You can change the skier's name here if you want. "
    "Just modify it in the input box to what it should be. ";
constexpr const char* kMustInputPrompt =
    "You must input a name. "
    "Please try again ";
constexpr const char* kExistingPrompt =
    "I am sorry, there is "
    "an existing file using that name and jump.  "
    "Please try again ";

bool safe_in_file_name(const std::string& name) {
    for (unsigned char c : name) {
        if (c < 32 || c == 127 || c == ',' || unsafe_in_file_name(c))
            return false;
    }
    return name != "." && name != "..";
}

}  // namespace

RenameDecision decide_capture_rename(Dialogs& dialogs, std::string_view video_folder,
                                     const std::string& captured_path,
                                     const std::string& current_name,
                                     const std::function<bool(const std::string&)>& file_exists) {
    auto ask = [&](const char* prompt) {
        for (;;) {
            std::string answer = trim(dialogs.input(prompt, kFixNameTitle, current_name));
            if (answer.empty())
                answer = trim(dialogs.input(kMustInputPrompt, kFixNameTitle, current_name));
            if (safe_in_file_name(answer))
                return answer;
            dialogs.ok(
                "A skier's name cannot hold any of the characters \\ / : * ? \" < > | , "
                "because it becomes part of the video's file name.",
                MsgIcon::Exclamation, "Input Error");
        }
    };
    RenameDecision d;
    d.name = ask(kFixNamePrompt);
    // A capture whose name was changed is pass 1 of that name: the capture
    // screen sets the pass to 1 whenever the name changes. A name asked again
    // keeps that pass, so the file is never named after a pass it is not.
    d.new_path = jump_video_path(video_folder, d.name, "1");
    while (d.new_path != captured_path && file_exists(d.new_path)) {
        d.name = ask(kExistingPrompt);
        d.new_path = jump_video_path(video_folder, d.name, "1");
    }
    d.move = d.new_path != captured_path;
    return d;
}

bool move_video_file(const std::string& from, const std::string& to, std::string* error) {
    std::error_code ec;
    // rename() replaces an existing file on POSIX: another video is never
    // overwritten.
    if (fs::exists(to, ec)) {
        if (error)
            *error = "a file already exists at " + to;
        return false;
    }
    fs::rename(from, to, ec);
    if (ec) {
        if (error)
            *error = "cannot move " + from + " to " + to + ": " + ec.message();
        return false;
    }
    return true;
}

}  // namespace rs
