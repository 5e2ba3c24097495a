// rampsight-cli demo-course DIR with its scene number: a jump course with
// known truth, to practise the whole road of a jump without a lake and to
// prove the measuring chain: the jump video as the capture screen names it,
// the picture to set the grid up on, and "truth.json".

#include <charconv>
#include <ostream>

#include "cli/cli_args.h"
#include "cli/command_registry.h"
#include "cli/setup_input.h"
#include "demo/demo_course.h"
#include "demo/demo_course_files.h"

namespace rs::cli {

namespace {

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
    std::string error;
    if (!demo::write_demo_course(dir, scene_number, &error)) {
        err << "rampsight-cli demo-course: " << error << "\n";
        return kExitWriteFailed;
    }
    const demo::DemoCourse course = demo::make_demo_course(scene_number);
    const demo::DemoCourseFiles files = demo::demo_course_files(dir);
    out << "video: " << files.video << " (" << course.frame_count
        << " frames, first contact in frame " << course.contact_frame << ")\n";
    out << "set-up picture: " << files.setup_picture << "\n";
    out << "truth: " << files.truth << " (distance "
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
