// Recordings from the built-in test source, read back by the program's own
// decoder: each picture carries the source's frame number, so the frame at
// each index of the file is checked against the counters the screens read.

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <sys/resource.h>
#include <csignal>

#include <chrono>
#include <thread>

#include "platform/capture_profile.h"
#include "platform/ffmpeg_capture_device.h"
#include "platform/video_file.h"
#include "tests/platform/test_videos.h"
#include "tests/support/temp_dir.h"

namespace rs {
namespace {

using namespace std::chrono_literals;

FfmpegCaptureOptions test_source_only(std::int64_t frames = 0) {
    FfmpegCaptureOptions o;
    o.list_cameras = false;
    o.test_source_frames = frames;
    return o;
}

// Waits (delivering events) until the device has taken n frames.
void wait_for_frames(const CaptureDevice& d, std::int64_t n) {
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (d.frames_processed() < n && std::chrono::steady_clock::now() < until) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(5ms);
    }
}

// Waits until the device has shown frame n (counted from the connection).
void wait_for_picture(const CaptureDevice& d, std::int64_t n) {
    const auto until = std::chrono::steady_clock::now() + 20s;
    std::int64_t shown = -1;
    int w = 0, h = 0;
    std::vector<std::uint8_t> bgr;
    while (std::chrono::steady_clock::now() < until &&
           !(d.latest_frame(&shown, &w, &h, &bgr) && shown >= n))
        std::this_thread::sleep_for(5ms);
}

void wait_until_stopped(const CaptureDevice& d) {
    const auto until = std::chrono::steady_clock::now() + 20s;
    while (d.capturing() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(5ms);
}

// The frame numbers drawn into every frame of the file.
std::vector<std::int64_t> numbers_in(const std::string& path) {
    std::string error;
    auto video = VideoFile::open(path, &error);
    EXPECT_TRUE(video) << error;
    std::vector<std::int64_t> numbers;
    if (!video)
        return numbers;
    for (std::int64_t k = 0; k < video->frame_count(); ++k) {
        FramePtr f = video->frame(k, &error);
        numbers.push_back(f ? test_source_frame_number(*f) : -2);
    }
    return numbers;
}

struct Events {
    std::vector<std::string> warnings;
    std::vector<int> codes;
    CaptureEventHandlers handlers() {
        CaptureEventHandlers h;
        h.warning = [this](const std::string& t) { warnings.push_back(t); };
        h.status_code = [this](int c, const std::string&) { codes.push_back(c); };
        return h;
    }
};

void deliver_events() {
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(5ms);
    }
}

TEST(FfmpegCaptureDevice, TheTestSourceIsAlwaysListedFirstAndRecordsEveryFrameItCounts) {
    test::TempDir tmp;
    FileWriter files;
    FfmpegCaptureDevice device(files, nullptr, test_source_only());
    ASSERT_GE(device.device_count(), 1);
    EXPECT_EQ(device.device_name(0), kTestSourceName);
    std::string error;
    ASSERT_TRUE(device.connect(0, &error)) << error;
    EXPECT_EQ(device.frame_rate(), 30);
    EXPECT_EQ(device.resolution_name(device.resolution()), "640x480");
    wait_for_picture(device, 5);

    device.set_stream_file_name(tmp.file("a.avi"));
    ASSERT_TRUE(device.start_stream_capture(&error)) << error;
    const std::int64_t start = device.frames_processed_at_start();
    wait_for_frames(device, start + 10);
    // The picture on show when "Contact" is pressed, and the count then.
    std::int64_t shown_before = -1, shown_after = -1;
    int w = 0, h = 0;
    std::vector<std::uint8_t> bgr;
    ASSERT_TRUE(device.latest_frame(&shown_before, &w, &h, &bgr));
    const std::int64_t contact = device.frames_processed();
    ASSERT_TRUE(device.latest_frame(&shown_after, &w, &h, &bgr));
    wait_for_frames(device, contact + 10);
    device.stop_capture();
    const std::int64_t end = device.frames_processed();
    EXPECT_FALSE(device.capturing());
    EXPECT_EQ(device.capture_error(), "");
    EXPECT_EQ(device.frames_dropped(), 0);

    const auto numbers = numbers_in(tmp.file("a.avi"));
    ASSERT_EQ(static_cast<std::int64_t>(numbers.size()), end - start);
    // Every frame of the source from the start on, none lost or repeated;
    // the source ran before the recording started.
    EXPECT_GE(numbers[0], 5);
    for (std::size_t k = 0; k < numbers.size(); ++k)
        ASSERT_EQ(numbers[k], numbers[0] + static_cast<std::int64_t>(k)) << "frame " << k;
    // The contact count less the start count is the index of the first
    // frame taken after the picture on show at the press.
    const std::int64_t at_contact = numbers[static_cast<size_t>(contact - start)];
    EXPECT_GE(at_contact, shown_before + 1);
    EXPECT_LE(at_contact, shown_after + 1);

    // A still of the live picture goes through the still writer.
    Picture24 still;
    FfmpegCaptureDevice with_stills(
        files,
        [&still](const Picture24& p, const std::string&, std::string*) {
            still = p;
            return true;
        },
        test_source_only());
    ASSERT_TRUE(with_stills.connect(0, &error)) << error;
    wait_for_picture(with_stills, 3);
    ASSERT_TRUE(with_stills.grab_still(&error)) << error;
    EXPECT_EQ(still.width, 640);
    EXPECT_GE(test_source_frame_number(still), 0);
}

TEST(FfmpegCaptureDevice, TheDemoCourseIsReplayedOverAndOverAtItsOwnRate) {
    test::TempDir tmp;
    // A course of 12 frames at 30 a second, each marked with its number.
    const std::string course = tmp.file("Demojump1.avi");
    ASSERT_TRUE(
        test::make_video({"course", "avi", "-c:v mjpeg -q:v 3", 320, 240, "30", 12, ""}, course));
    FileWriter files;
    FfmpegCaptureOptions options = test_source_only();
    int made = 0;
    options.demo_course = [&](std::string*) {
        ++made;
        return course;
    };
    FfmpegCaptureDevice device(files, nullptr, options);
    ASSERT_EQ(device.device_count(), 2);
    EXPECT_EQ(device.device_name(0), kTestSourceName);
    EXPECT_EQ(device.device_name(1), kDemoCourseSourceName);
    EXPECT_EQ(made, 0);  // nothing is made until the course is chosen
    std::string error;
    ASSERT_TRUE(device.connect(1, &error)) << error;
    EXPECT_EQ(made, 1);
    EXPECT_EQ(device.frame_rate(), 30);
    // At its own rate: in 300 ms about 9 frames, not hundreds of rounds.
    wait_for_picture(device, 1);
    std::this_thread::sleep_for(300ms);
    std::int64_t shown = -1;
    int w = 0, h = 0;
    std::vector<std::uint8_t> bgr;
    ASSERT_TRUE(device.latest_frame(&shown, &w, &h, &bgr));
    EXPECT_LE(shown, 16);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 240);

    // A recording over three rounds holds every frame in turn, none lost or
    // repeated where one round meets the next.
    device.set_stream_file_name(tmp.file("rehearsal.avi"));
    ASSERT_TRUE(device.start_stream_capture(&error)) << error;
    const std::int64_t start = device.frames_processed_at_start();
    wait_for_frames(device, start + 30);
    device.stop_capture();
    EXPECT_EQ(device.capture_error(), "");
    EXPECT_EQ(device.frames_dropped(), 0);
    auto video = VideoFile::open(tmp.file("rehearsal.avi"), &error);
    ASSERT_TRUE(video) << error;
    ASSERT_EQ(video->frame_count(), device.frames_processed() - start);
    ASSERT_GE(video->frame_count(), 30);
    std::int64_t first = -1;
    for (std::int64_t k = 0; k < video->frame_count(); ++k) {
        FramePtr f = video->frame(k, &error);
        ASSERT_TRUE(f) << error;
        if (k == 0)
            first = test::read_mark(*f);
        ASSERT_EQ(test::read_mark(*f), (first + k) % 12) << "frame " << k;
    }

    // A course that cannot be made is refused with the reason.
    FfmpegCaptureOptions failing = test_source_only();
    failing.demo_course = [](std::string* why) {
        *why = "the disk is full";
        return std::string();
    };
    FfmpegCaptureDevice without(files, nullptr, failing);
    EXPECT_FALSE(without.connect(1, &error));
    EXPECT_EQ(error, "cannot open Demo Course: the disk is full");
    EXPECT_FALSE(without.connected());
}

TEST(FfmpegCaptureDevice, TheTimeLimitEndsTheRecordingAtItsFrameCount) {
    test::TempDir tmp;
    FileWriter files;
    FfmpegCaptureDevice device(files, nullptr, test_source_only());
    Events events;
    device.set_event_handlers(events.handlers());
    device.set_time_limit(2.2);
    std::string error;
    ASSERT_TRUE(device.connect(0, &error)) << error;
    device.set_stream_file_name(tmp.file("b.avi"));
    ASSERT_TRUE(device.start_stream_capture(&error)) << error;
    wait_until_stopped(device);
    device.stop_capture();
    deliver_events();
    EXPECT_EQ(device.frames_processed() - device.frames_processed_at_start(), 66);
    EXPECT_EQ(numbers_in(tmp.file("b.avi")).size(), 66u);
    // The screens are told to read the counters after each second's frames,
    // then that the recording ended.
    EXPECT_EQ(events.codes,
              (std::vector<int>{capture_status::kCountersChanged, capture_status::kCountersChanged,
                                capture_status::kCaptureEnded}));
    EXPECT_TRUE(events.warnings.empty());
}

TEST(FfmpegCaptureDevice, ADeviceThatStopsEndsTheRecordingWithAReadableFileAndAMessage) {
    test::TempDir tmp;
    FileWriter files;
    // The source gives 40 frames and then no more, as a camera pulled out.
    FfmpegCaptureDevice device(files, nullptr, test_source_only(40));
    Events events;
    device.set_event_handlers(events.handlers());
    std::string error;
    ASSERT_TRUE(device.connect(0, &error)) << error;
    device.set_stream_file_name(tmp.file("lost.avi"));
    ASSERT_TRUE(device.start_stream_capture(&error)) << error;
    const std::int64_t start = device.frames_processed_at_start();
    wait_until_stopped(device);
    device.stop_capture();
    deliver_events();
    EXPECT_NE(device.capture_error().find("The capture device stopped"), std::string::npos)
        << device.capture_error();
    ASSERT_EQ(events.warnings.size(), 1u);
    EXPECT_EQ(events.warnings[0], device.capture_error());
    EXPECT_FALSE(device.connected());

    const auto numbers = numbers_in(tmp.file("lost.avi"));
    EXPECT_EQ(static_cast<std::int64_t>(numbers.size()), device.frames_processed() - start);
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.back(), 39);
}

TEST(FfmpegCaptureDevice, AFullDiskEndsTheRecordingWithAReadableFileAndAMessage) {
    test::TempDir tmp;
    FileWriter files;
    FfmpegCaptureDevice device(files, nullptr, test_source_only());
    Events events;
    device.set_event_handlers(events.handlers());
    std::string error;
    ASSERT_TRUE(device.connect(0, &error)) << error;
    device.set_stream_file_name(tmp.file("full.avi"));

    // The process may write no file beyond 400 kB: the disk is full for
    // the recording (the signal that would end the process is ignored).
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 400 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ASSERT_TRUE(device.start_stream_capture(&error)) << error;
    const std::int64_t start = device.frames_processed_at_start();
    wait_until_stopped(device);
    device.stop_capture();
    setrlimit(RLIMIT_FSIZE, &old);
    deliver_events();

    EXPECT_NE(device.capture_error().find("could not be written"), std::string::npos)
        << device.capture_error();
    ASSERT_EQ(events.warnings.size(), 1u);
    EXPECT_TRUE(device.connected());  // the camera itself is fine
    const auto numbers = numbers_in(tmp.file("full.avi"));
    ASSERT_GT(numbers.size(), 3u);
    EXPECT_EQ(static_cast<std::int64_t>(numbers.size()), device.frames_processed() - start);
    for (std::size_t k = 0; k < numbers.size(); ++k)
        ASSERT_EQ(numbers[k], numbers[0] + static_cast<std::int64_t>(k)) << "frame " << k;
}

TEST(FfmpegCaptureDevice, RefusesToRecordWhenNothingIsConnectedOrTheFileCannotBeMade) {
    test::TempDir tmp;
    FileWriter files;
    FfmpegCaptureDevice device(files, nullptr, test_source_only());
    std::string error;
    device.set_stream_file_name(tmp.file("x.avi"));
    EXPECT_FALSE(device.start_stream_capture(&error));
    EXPECT_EQ(error, "no capture device is connected");
    ASSERT_TRUE(device.connect(0, &error)) << error;
    device.set_stream_file_name(tmp.file("no/such/folder/x.avi"));
    EXPECT_FALSE(device.start_stream_capture(&error));
    EXPECT_NE(error.find("no/such/folder/x.avi"), std::string::npos) << error;
    EXPECT_FALSE(device.capturing());
    EXPECT_FALSE(device.connect(5, &error));
    device.stop_capture();  // harmless with nothing recording
}

TEST(FfmpegCaptureDevice, FramesMissingBetweenTimeStampsAreCountedAsDropped) {
    EXPECT_EQ(frames_missed(0, 30, 0), 0);
    EXPECT_EQ(frames_missed(1.0 / 30, 30, 1), 0);
    // A little early or late is the same frame.
    EXPECT_EQ(frames_missed(2.4 / 30, 30, 2), 0);
    EXPECT_EQ(frames_missed(1.6 / 30, 30, 1), 1);
    // Frame 10 by its time after 4 frames: 6 were lost.
    EXPECT_EQ(frames_missed(10.0 / 30, 30, 4), 6);
    // More frames than the time gives (a device's clock running slow) is no loss.
    EXPECT_EQ(frames_missed(1.0, 30, 40), 0);
    EXPECT_EQ(frames_missed(-1, 30, 0), 0);
    EXPECT_EQ(frames_missed(1, 0, 0), 0);
}

TEST(CaptureProfile, ReadsBackWhatItWroteAndRefusesWhatIsNotAProfile) {
    test::TempDir tmp;
    FileWriter files;
    CaptureProfile p;
    p.device = "USB Camera (/dev/video0)";
    p.resolution = 2;
    p.frame_rate = 29.97;
    p.audio_sample_rate = 22050;
    p.caption_text = "Jump, site 2 = left";
    p.auto_save = true;
    std::string error;
    ASSERT_TRUE(save_capture_profile(files, tmp.file("a.cpf"), p, &error)) << error;
    EXPECT_EQ(test::slurp(tmp.file("a.cpf")).substr(0, 29), "RampSight capture profile 1\r\n");
    CaptureProfile back;
    ASSERT_TRUE(load_capture_profile(tmp.file("a.cpf"), &back, &error)) << error;
    EXPECT_EQ(back, p);

    EXPECT_FALSE(parse_capture_profile("", &back, &error));
    EXPECT_FALSE(parse_capture_profile("hello\r\n", &back, &error));
    EXPECT_FALSE(
        parse_capture_profile("RampSight capture profile 1\r\nresolution=two\r\n", &back, &error));
    EXPECT_EQ(error, "line 2: \"two\" is not a value of resolution");
    EXPECT_FALSE(
        parse_capture_profile("RampSight capture profile 1\r\nauto_save=yes\r\n", &back, &error));
    // A value a later program adds is passed over.
    ASSERT_TRUE(
        parse_capture_profile("RampSight capture profile 1\nzoom=2\nresolution=1\n", &back, &error))
        << error;
    EXPECT_EQ(back.resolution, 1);
    EXPECT_FALSE(load_capture_profile(tmp.file("missing.cpf"), &back, &error));

    // The device keeps its values in the same file.
    FfmpegCaptureDevice device(files, nullptr, test_source_only());
    device.set_frame_rate(25);
    device.set_still_password("pw");
    ASSERT_TRUE(device.save_profile(tmp.file("d.cpf"), &error)) << error;
    FfmpegCaptureDevice other(files, nullptr, test_source_only());
    ASSERT_TRUE(other.load_profile(tmp.file("d.cpf"), &error)) << error;
    EXPECT_EQ(other.frame_rate(), 25);
    EXPECT_EQ(other.still_password(), "pw");
}

}  // namespace
}  // namespace rs
