#include "demo/demo_course.h"

#include <cmath>
#include <cstdio>

#include "demo/scene_noise.h"

namespace rs::demo {

namespace {

// The picture positions the buoys are laid out for (whole pixels): the grid
// fills about 85 % of the picture's width, as a good set-up does.
constexpr std::array<PixelPoint, kDemoBuoys> kBuoyLayout{{
    {150, 334},   // upper left
    {1136, 330},  // upper right
    {96, 424},    // lower left
    {1192, 428},  // lower right
    {640, 376},   // check
}};

double to_millimetre(double meters) {
    return std::round(meters * 1000.0) / 1000.0;
}

}  // namespace

const char* buoy_key(DemoBuoy buoy) {
    switch (buoy) {
        case DemoBuoy::UpperLeft:
            return "upper_left";
        case DemoBuoy::UpperRight:
            return "upper_right";
        case DemoBuoy::LowerLeft:
            return "lower_left";
        case DemoBuoy::LowerRight:
            return "lower_right";
        case DemoBuoy::Check:
            return "check";
    }
    return "";
}

DemoCourse make_demo_course(std::uint64_t scene_number) {
    DemoCourse c;
    c.scene_number = scene_number;
    SceneRandom random(scene_number);
    // A camera on a tower on the near bank, square to the course, far enough
    // back that the grid spans less than 30 degrees, the end of the ramp in
    // sight at the left.
    const double along = 30 + random.between(-1.5, 1.5);
    c.camera.position = {along, -137 + random.between(-4, 4), 20 + random.between(-1.5, 1.5)};
    c.camera.aim = {along, random.between(-2, 2), 0};
    c.camera.focal_px = 2430 + random.between(-40, 40);
    c.camera.width = 1280;
    c.camera.height = 720;

    // Buoys where the course builder put them, surveyed to the millimetre.
    const PinholeCamera camera(c.camera);
    for (int i = 0; i < kDemoBuoys; ++i) {
        const PixelPoint laid = kBuoyLayout[static_cast<size_t>(i)];
        const double x = laid.x + std::round(random.between(-6, 6));
        const double y = laid.y + std::round(random.between(-4, 4));
        const Vec3 w = camera.on_water(x, y).value_or(Vec3{});
        c.buoys[static_cast<size_t>(i)] = {to_millimetre(w.x), to_millimetre(w.y)};
    }
    c.jump = {0, 0};
    c.contact = {to_millimetre(random.between(26, 54)), to_millimetre(random.between(-2.5, 2.5))};

    c.frame_rate = 30;
    c.takeoff_frame = 20 + static_cast<int>(random.between(0, 6.99));
    c.contact_frame = c.takeoff_frame + 48 + static_cast<int>(random.between(0, 12.99));
    c.frame_count = c.contact_frame + 24;
    static constexpr std::uint32_t kSuits[] = {0xD82020, 0xF0C010, 0x20A040, 0xE060C0};
    c.suit_colour = kSuits[random.next() % 4];
    return c;
}

double truth_distance(const DemoCourse& course) {
    return std::hypot(course.contact.x - course.jump.x, course.contact.y - course.jump.y);
}

std::string fixed_number(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string s = text;
    // No "-0.00": a value that rounds to zero is written as zero.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    return s;
}

std::string truth_json(const DemoCourse& course, const std::string& video_name,
                       const std::string& setup_picture_name) {
    const PinholeCamera camera(course.camera);
    const auto survey = [](SurveyXY p) {
        return "[" + fixed_number(p.x, 3) + ", " + fixed_number(p.y, 3) + "]";
    };
    const auto pixel = [&](SurveyXY p) {
        const PixelPoint px = camera.project({p.x, p.y, 0}).value_or(PixelPoint{});
        return "[" + fixed_number(px.x, 2) + ", " + fixed_number(px.y, 2) + "]";
    };
    const auto point = [&](SurveyXY p) {
        return "{\"survey\": " + survey(p) + ", \"pixel\": " + pixel(p) + "}";
    };
    const auto quoted = [](const std::string& text) {
        std::string q = "\"";
        for (char ch : text) {
            if (ch == '"' || ch == '\\')
                q += '\\';
            q += ch;
        }
        return q + "\"";
    };
    std::string j = "{\n  \"buoys\": {\n";
    for (int i = 0; i < kDemoBuoys; ++i) {
        j += "    \"" + std::string(buoy_key(static_cast<DemoBuoy>(i))) +
             "\": " + point(course.buoys[static_cast<size_t>(i)]);
        j += i + 1 < kDemoBuoys ? ",\n" : "\n";
    }
    j += "  },\n";
    j += "  \"jump\": " + survey(course.jump) + ",\n";
    j += "  \"contact_frame\": " + std::to_string(course.contact_frame) + ",\n";
    j += "  \"contact\": " + point(course.contact) + ",\n";
    j += "  \"distance_m\": " + fixed_number(truth_distance(course), 3) + ",\n";
    j += "  \"video\": " + quoted(video_name) + ",\n";
    j += "  \"setup_picture\": " + quoted(setup_picture_name) + "\n}\n";
    return j;
}

}  // namespace rs::demo
