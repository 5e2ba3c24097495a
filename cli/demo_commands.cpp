// rampsight-cli demo-course DIR [--seed N]: a jump course with known truth,
// to practise the whole road of a jump without a lake and to prove the
// measuring chain: the jump video as the capture screen names it, the
// picture to set the grid up on, and "truth.json".

#include <charconv>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/cli_args.h"
#include "cli/command_registry.h"
#include "cli/setup_input.h"
#include "demo/course_renderer.h"
#include "demo/demo_course.h"
#include "platform/avi_writer.h"
#include "platform/file_writer.h"
#include "video/dib.h"
#include "video/frame_selection.h"

namespace rs::cli {

namespace {

constexpr const char* kDemoSkier = "Demo";
constexpr const char* kDemoSetupPicture = "DemoSetup.bmp";
constexpr const char* kTruthFile = "truth.json";

int demo_course(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const std::string cmd = "demo-course";
    const ParsedArgs p = parse_args(args, {"--seed"}, {});
    if (!p.error.empty())
        return usage_error(err, cmd, p.error);
    if (p.positional.size() != 1)
        return usage_error(err, cmd, "one folder is needed");
    std::uint64_t scene_number = 1;
    if (const std::string* text = p.option("--seed")) {
        const auto [end, ec] =
            std::from_chars(text->data(), text->data() + text->size(), scene_number);
        if (ec != std::errc() || end != text->data() + text->size())
            return usage_error(err, cmd, "--seed takes a whole number from 0, not " + *text);
    }
    const std::string dir = p.positional[0];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        err << "rampsight-cli demo-course: " << dir << ": cannot make the folder"
            << (ec ? ": " + ec.message() : std::string()) << "\n";
        return kExitWriteFailed;
    }

    const demo::DemoCourse course = demo::make_demo_course(scene_number);
    const demo::CourseRenderer renderer(course);
    const std::string video = jump_video_path(dir, kDemoSkier, "1");
    const std::string video_name = std::filesystem::path(video).filename().string();

    std::string error;
    AviWriterOptions options;
    options.width = course.camera.width;
    options.height = course.camera.height;
    options.rate_num = static_cast<int>(course.frame_rate);
    options.rate_den = 1;
    auto writer = AviWriter::create(video, options, &error);
    if (!writer) {
        err << "rampsight-cli demo-course: " << error << "\n";
        return kExitWriteFailed;
    }
    for (int n = 0; n < course.frame_count; ++n) {
        if (!writer->write_picture(renderer.frame(n), &error)) {
            err << "rampsight-cli demo-course: " << error << "\n";
            return kExitWriteFailed;
        }
    }
    if (!writer->finish(&error)) {
        err << "rampsight-cli demo-course: " << error << "\n";
        return kExitWriteFailed;
    }

    FileWriter files;
    const std::string setup = (std::filesystem::path(dir) / kDemoSetupPicture).string();
    if (const WriteResult w = write_picture_bmp(files, renderer.setup_picture(), setup); !w) {
        err << "rampsight-cli demo-course: " << w.error() << "\n";
        return kExitWriteFailed;
    }
    const std::string truth = (std::filesystem::path(dir) / kTruthFile).string();
    if (const WriteResult w =
            files.replace(truth, demo::truth_json(course, video_name, kDemoSetupPicture));
        !w) {
        err << "rampsight-cli demo-course: " << w.error() << "\n";
        return kExitWriteFailed;
    }
    out << "video: " << video << " (" << course.frame_count << " frames, first contact in frame "
        << course.contact_frame << ")\n";
    out << "set-up picture: " << setup << "\n";
    out << "truth: " << truth << " (distance "
        << demo::fixed_number(demo::truth_distance(course), 3) << " m without the offset)\n";
    return kExitOk;
}

const CommandRegistrar demo_command{
    {"demo-course",
     "demo-course DIR [--seed N]   (a jump course with known truth: video, set-up picture, "
     "truth.json)",
     demo_course}};

}  // namespace

}  // namespace rs::cli
