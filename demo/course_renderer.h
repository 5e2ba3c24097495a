#pragma once
// Pictures of a demo course through a pinhole camera: the banks, the fixed
// marks and the ramp, which never move; the water, whose waves move from
// frame to frame; the buoys, which bob; and the skier. The scenery that does
// not move is traced once when the renderer is made; each picture traces
// only the water, the buoys and the skier.

#include <cstdint>
#include <vector>

#include "demo/demo_course.h"
#include "platform/video_file.h"

namespace rs::demo {

class CourseRenderer {
  public:
    // The course seen through its own camera, or through another one (a
    // camera knocked or turned since the set-up).
    explicit CourseRenderer(const DemoCourse& course);
    CourseRenderer(const DemoCourse& course, const CameraSetup& camera);

    // Frame n of the jump video (0 .. frame_count - 1).
    Picture24 frame(int n) const;
    // The picture the grid is set up on: the course before the skier comes.
    Picture24 setup_picture() const;
    // The course at a time (seconds from the first frame), with or without
    // the skier.
    Picture24 at_time(double seconds, bool with_skier) const;

    // Where the ski tails are at a time (the midpoint between them).
    Vec3 ski_tail(double seconds) const;

  private:
    struct Shape;
    void trace_scenery();
    void draw_shapes(Picture24& picture, const std::vector<Shape>& shapes) const;
    std::vector<Shape> buoy_shapes(double seconds) const;
    std::vector<Shape> skier_shapes(double seconds) const;

    DemoCourse course_;
    PinholeCamera camera_;
    int width_;
    int height_;
    // Per pixel: the colour of the scenery's share of the pixel's four
    // samples, how many of them see water, where the pixel's centre meets
    // the water, and the distance to the nearest surface seen.
    std::vector<float> scenery_rgb_;
    std::vector<std::uint8_t> water_samples_;
    std::vector<float> water_x_;
    std::vector<float> water_y_;
    std::vector<float> water_footprint_;
    std::vector<float> depth_;
};

}  // namespace rs::demo
