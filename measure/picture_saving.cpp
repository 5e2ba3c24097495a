#include "measure/picture_saving.h"

#include <filesystem>

#include "core/text_forms.h"
#include "measure/results_file.h"
#include "video/frame_selection.h"

namespace rs {

namespace {

bool is_separator(char c) {
    return c == '/' || c == '\\';
}

bool unsafe_char(char c) {
    static constexpr std::string_view kRefused = "/\\:*?\"<>|";
    return static_cast<unsigned char>(c) < 0x20 || kRefused.find(c) != std::string_view::npos;
}

// A file or folder of that path is there already (a link counts, even a
// broken one: it is not ours to replace).
bool taken(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

std::string normal_folder(const std::string& folder) {
    std::string f = folder;
    while (f.size() > 1 && is_separator(f.back()))
        f.pop_back();
    return std::filesystem::path(f).lexically_normal().string();
}

enum class Answer { Yes, No };

Answer ask(MeasureContext& ctx, const std::string& text) {
    return ctx.dialogs.message({text, MsgButtons::YesNo, MsgIcon::None, kProgramTitle, false}) ==
                   MsgResult::Yes
               ? Answer::Yes
               : Answer::No;
}

// Asks for a name until the answer is a free path in the video folder;
// nothing when the operator cancels.
std::optional<std::string> ask_free_name(MeasureContext& ctx, const std::string& prompt,
                                         std::string proposed) {
    const std::string& folder = ctx.shared.video_folder;
    for (;;) {
        const std::string answer = ctx.dialogs.input(prompt, "Rename Picture", proposed);
        if (trim(answer).empty())
            return std::nullopt;
        const auto path = picture_path_in_folder(folder, answer);
        if (!path) {
            ctx.dialogs.ok("Pictures are kept in the video folder " + folder +
                               ". Give a file name in that folder, without any of / \\ : * ? \" "
                               "< > |.",
                           MsgIcon::Exclamation);
            proposed = answer;
            continue;
        }
        if (!taken(*path))
            return path;
        proposed = *path;
    }
}

}  // namespace

bool is_safe_file_name(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (char c : name) {
        if (unsafe_char(c))
            return false;
    }
    return true;
}

std::string safe_file_name(std::string_view name) {
    std::string out(name);
    for (char& c : out) {
        if (unsafe_char(c))
            c = '_';
    }
    return out;
}

std::optional<std::string> picture_path(const std::string& video_folder, const std::string& skier,
                                        const std::string& jump_number,
                                        const std::string& extension) {
    const std::string name = skier + "jump" + trim(jump_number) + extension;
    if (!is_safe_file_name(name))
        return std::nullopt;
    return join_path(strip_trailing_separator(video_folder), name);
}

std::optional<std::string> picture_path_in_folder(const std::string& video_folder,
                                                  const std::string& answer) {
    const std::string text = trim(answer);
    size_t cut = std::string::npos;
    for (size_t i = text.size(); i-- > 0;) {
        if (is_separator(text[i])) {
            cut = i;
            break;
        }
    }
    const std::string name = cut == std::string::npos ? text : text.substr(cut + 1);
    if (!is_safe_file_name(name))
        return std::nullopt;
    if (cut != std::string::npos) {
        std::string folder = text.substr(0, cut);
        for (char& c : folder) {
            if (is_separator(c))
                c = kPathSeparator;
        }
        if (folder.empty() || normal_folder(folder) != normal_folder(video_folder))
            return std::nullopt;
    }
    return join_path(strip_trailing_separator(video_folder), name);
}

std::optional<SavedPicture> save_picture(MeasureContext& ctx, const PictureSourceFn& source) {
    MeasureForm& f = ctx.form;
    const DateTime now = ctx.clock.now();
    const std::string& folder = ctx.shared.video_folder;

    std::optional<std::string> path = picture_path(folder, f.Skier_name, f.Jump_no);
    if (!path) {
        const std::string proposed =
            join_path(strip_trailing_separator(folder),
                      safe_file_name(f.Skier_name + "jump" + trim(f.Jump_no) + kPictureExtension));
        ctx.WriteDebugLog("save refused for the name " + f.Skier_name + "jump" + trim(f.Jump_no));
        path = ask_free_name(ctx,
                             "The skier name and jump number cannot make a file name. Give the "
                             "picture a file name in the video folder.",
                             proposed);
    } else {
        ctx.WriteDebugLog("save " + *path);
        if (taken(*path) &&
            ask(ctx, "File: " + *path + " already exists.  Do you want to overwrite it?") ==
                Answer::No) {
            path = ask_free_name(
                ctx, "This File Name already exists. You must rename the file before saving.",
                *path);
        }
    }
    if (!path) {
        ctx.WriteDebugLog("Picture not saved: no name given");
        ctx.dialogs.ok("The picture was not saved.", MsgIcon::Exclamation);
        return std::nullopt;
    }

    const std::optional<PictureSource> from = source ? source() : std::nullopt;
    WriteResult written = WriteResult::failure("there is no picture on the screen");
    if (from) {
        // Written beside its name and renamed into place: an overwritten
        // picture stays whole until the new one is complete, and
        // "currentcapture.bmp" stays where frame selection put it.
        written = from->bytes.empty() ? ctx.files.copy(from->path, *path)
                                      : ctx.files.replace(*path, from->bytes);
    }
    if (!written) {
        ctx.WriteDebugLog("Picture not saved: " + written.error());
        ctx.dialogs.ok("The picture could not be saved: " + written.error(), MsgIcon::Exclamation);
        return std::nullopt;
    }
    ctx.WriteDebugLog("Picture actually Saved");

    SavedPicture saved{*path, *path + ".info"};
    (void)append_results_line(ctx, dated_results_line(now, "Saved picture: " + saved.path));

    std::vector<std::string> missing;
    const CaptureValues& capture = ctx.shared.capture;
    WriteResult info =
        ctx.files.replace(saved.info_path, saved.path + ", " + capture.skier_name + ", " +
                                               capture.pass + std::string(kCrLf));
    if (!info)
        missing.push_back(info.error());

    // The capture screen has already moved on to the next pass.
    const std::string jump = signed_number(text_to_number(capture.pass) - 1);
    const std::string line =
        picture_log_line(now, capture.skier_name, jump, f.distance, saved.path);
    if (!append_measurement_log(ctx.files, folder, ctx.shared.measurement_log_name, line))
        missing.push_back("the measurement log in " + folder);

    if (!missing.empty()) {
        std::string text =
            "The picture was saved as " + saved.path + ", but these were not written:";
        for (const std::string& m : missing) {
            ctx.WriteDebugLog("Picture record not written: " + m);
            text += "\n" + m;
        }
        ctx.dialogs.ok(text, MsgIcon::Exclamation);
    }
    return saved;
}

void apply_picture_policy(MeasureContext& ctx, const PictureSourceFn& source) {
    const std::string& policy = ctx.config.picture_save;
    if (policy == "NoSave")
        return;
    if (policy == "Save" || ask(ctx, "Do you want to save this picture?") == Answer::Yes)
        (void)save_picture(ctx, source);
}

void leave_to_main(MeasureContext& ctx, const PictureSourceFn& source) {
    if (ctx.shared.navigation_state == "SelectFrame")
        apply_picture_policy(ctx, source);
    ctx.shared.navigation_state.clear();
}

bool go_to_next_jump(MeasureContext& ctx, const PictureSourceFn& source) {
    const bool from_frame_selection = ctx.shared.navigation_state == "SelectFrame";
    if (!from_frame_selection) {
        if (ask(ctx, "Do you want to save this picture?") == Answer::Yes)
            (void)save_picture(ctx, source);
        if (ask(ctx, "Do you want to remain on this form?") == Answer::Yes)
            return false;
    } else {
        apply_picture_policy(ctx, source);
    }
    // Only the video whose frame is on the screen is kept or erased: a
    // picture from a file, the clipboard or the log has no video of its
    // own, and the last video measured may long have been kept.
    if (from_frame_selection)
        apply_video_policy(ctx);
    ctx.shared.navigation_state = "Measure";
    return true;
}

void apply_video_policy(MeasureContext& ctx) {
    const std::string path = ctx.shared.current_video_path;
    if (path.empty())
        return;
    if (!taken(path)) {
        ctx.WriteDebugLog("Video File " + path + " not found");
        return;
    }
    const std::string& policy = ctx.config.video_save;
    bool keep = policy != "NoSave";
    if (policy != "Save" && policy != "NoSave")
        keep = ctx.dialogs.message({"Do you want to save this video capture?", MsgButtons::YesNo,
                                    MsgIcon::None, kProgramTitle, false}) != MsgResult::No;
    if (keep) {
        ctx.WriteDebugLog("Video File " + path + " Saved");
        (void)video_log_entry(ctx);
        return;
    }
    WriteResult erased = ctx.files.remove(path);
    if (!erased) {
        ctx.WriteDebugLog("Video File " + path + " not erased: " + erased.error());
        ctx.dialogs.ok("The video could not be erased: " + erased.error(), MsgIcon::Exclamation);
        return;
    }
    ctx.WriteDebugLog("Video File " + path + " Erased");
}

bool video_log_entry(MeasureContext& ctx) {
    const std::string& path = ctx.shared.current_video_path;
    size_t slash = std::string::npos;
    for (size_t i = path.size(); i-- > 0;) {
        if (is_separator(path[i])) {
            slash = i;
            break;
        }
    }
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t at = name.find("jump");
    if (at == std::string::npos) {
        ctx.dialogs.ok(kNotStandardVideo, MsgIcon::Exclamation);
        return false;
    }
    const std::string skier = name.substr(0, at);
    const std::string rest = name.substr(at + 4);
    size_t end = rest.find(".avi");
    if (end == std::string::npos)
        end = rest.rfind('.');
    const std::string jump = rest.substr(0, end);
    const std::string frame = signed_number(static_cast<double>(ctx.shared.current_frame_number));

    const bool logged =
        append_measurement_log(ctx.files, ctx.shared.video_folder, ctx.shared.measurement_log_name,
                               video_log_line(ctx.clock.now(), skier, jump, frame, path));
    WriteResult info =
        ctx.files.replace(info_sidecar_path(path), path + "," + frame + std::string(kCrLf));
    if (!logged || !info) {
        const std::string what = !info ? info.error() : "the measurement log";
        ctx.WriteDebugLog("Video record not written: " + what);
        ctx.dialogs.ok("The video was kept, but its record could not be written: " + what,
                       MsgIcon::Exclamation);
        return false;
    }
    return true;
}

}  // namespace rs
