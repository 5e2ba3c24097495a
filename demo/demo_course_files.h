#pragma once
// The files of a demo course in a folder: the jump video as the capture
// screen names it ("Demojump1.avi", MJPEG at the course's rate), the set-up
// picture "DemoSetup.bmp" and the truth file "truth.json", written last, so
// a folder holding the truth file holds the whole course.

#include <cstdint>
#include <string>

namespace rs::demo {

struct DemoCourseFiles {
    std::string video;
    std::string setup_picture;
    std::string truth;
};

// Where the files of a course in dir are (or will be).
DemoCourseFiles demo_course_files(const std::string& dir);

// Draws the course of scene_number and writes its files into dir, making
// the folder when it is missing; false and a reason (naming the file) when
// one cannot be written.
bool write_demo_course(const std::string& dir, std::uint64_t scene_number, std::string* error);

}  // namespace rs::demo
