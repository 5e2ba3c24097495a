#pragma once
// A jump course with known truth, for practice without a lake and for
// proving the whole measuring chain: a camera on the shore, the four corner
// buoys and the check buoy at surveyed positions, the ramp whose end is the
// jump point, and a skier who flies and first touches the water at a known
// survey point in a known frame. Everything follows from the scene_number, the same
// on every machine (no library random generator is used).

#include <array>
#include <cstdint>
#include <string>

#include "demo/pinhole_camera.h"

namespace rs::demo {

struct SurveyXY {
    double x = 0;
    double y = 0;
};

// The buoys in the order of the truth file.
enum class DemoBuoy { UpperLeft, UpperRight, LowerLeft, LowerRight, Check };
inline constexpr int kDemoBuoys = 5;
const char* buoy_key(DemoBuoy buoy);  // "upper_left", ..., "check"

struct DemoCourse {
    std::uint64_t scene_number = 1;
    CameraSetup camera;
    // Surveyed to the millimetre, in the order of DemoBuoy.
    std::array<SurveyXY, kDemoBuoys> buoys{};
    SurveyXY jump;     // the end of the ramp
    SurveyXY contact;  // where the skis first touch the water
    double frame_rate = 30;
    int takeoff_frame = 0;  // the last frame on the ramp
    int contact_frame = 0;  // the first frame on the water, counted from 0
    int frame_count = 0;
    // Seconds before the first frame at which the set-up picture is taken:
    // the water has moved on since, the skier is not yet in sight.
    double setup_time = -20;

    // The scenery (meters): the far bank, the near bank with its fixed
    // marks, the ramp.
    double far_bank_y = 260;
    double near_bank_y = -58;
    double ramp_length = 6.7;
    double ramp_half_width = 2.2;
    double ramp_height = 1.8;
    std::uint32_t suit_colour = 0;  // 0xRRGGBB
};

// The course of a scene_number; scene_number 1 is the one the manual describes.
DemoCourse make_demo_course(std::uint64_t scene_number);

// The jump distance of the truth: jump point to contact point, meters, no
// tournament offset.
double truth_distance(const DemoCourse& course);

// The truth file "truth.json": the buoys with their survey and picture
// positions (pixels to a hundredth, through the course's own camera), the
// jump point, the contact frame and point, the distance, and the names of
// the video and the set-up picture in the course's folder.
std::string truth_json(const DemoCourse& course, const std::string& video_name,
                       const std::string& setup_picture_name);

// A fixed-point number with the given decimals ("-12.50"), for files that
// other tools read.
std::string fixed_number(double value, int decimals);

}  // namespace rs::demo
