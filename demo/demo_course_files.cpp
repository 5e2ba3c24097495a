#include "demo/demo_course_files.h"

#include <filesystem>
#include <system_error>

#include "demo/course_renderer.h"
#include "demo/demo_course.h"
#include "platform/avi_writer.h"
#include "platform/file_writer.h"
#include "video/dib.h"
#include "video/frame_selection.h"

namespace rs::demo {

namespace {

constexpr const char* kDemoSkier = "Demo";
constexpr const char* kDemoSetupPicture = "DemoSetup.bmp";
constexpr const char* kTruthFile = "truth.json";

bool write_video(const DemoCourse& course, const CourseRenderer& renderer, const std::string& path,
                 std::string* error) {
    AviWriterOptions options;
    options.width = course.camera.width;
    options.height = course.camera.height;
    options.rate_num = static_cast<int>(course.frame_rate);
    options.rate_den = 1;
    auto writer = AviWriter::create(path, options, error);
    if (!writer)
        return false;
    for (int n = 0; n < course.frame_count; ++n) {
        if (!writer->write_picture(renderer.frame(n), error))
            return false;
    }
    return writer->finish(error);
}

}  // namespace

DemoCourseFiles demo_course_files(const std::string& dir) {
    const std::filesystem::path folder(dir);
    return {jump_video_path(dir, kDemoSkier, "1"), (folder / kDemoSetupPicture).string(),
            (folder / kTruthFile).string()};
}

bool write_demo_course(const std::string& dir, std::uint64_t scene_number, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir)) {
        *error = dir + ": cannot make the folder" + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    const DemoCourse course = make_demo_course(scene_number);
    const CourseRenderer renderer(course);
    const DemoCourseFiles files = demo_course_files(dir);
    if (!write_video(course, renderer, files.video, error))
        return false;
    FileWriter writer;
    WriteResult w = write_picture_bmp(writer, renderer.setup_picture(), files.setup_picture);
    if (w) {
        const std::string video_name = std::filesystem::path(files.video).filename().string();
        w = writer.replace(files.truth, truth_json(course, video_name, kDemoSetupPicture));
    }
    if (!w)
        *error = w.error();
    return w.ok();
}

}  // namespace rs::demo
