#include "measure/camera_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/binary_file.h"
#include "platform/file_reader.h"
#include "platform/paths.h"

namespace rs {

namespace {

std::string decimals(double value, int places) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", places, value);
    return text;
}

// "3.1 pixels right" / "0.2 pixels up": the size and the direction.
std::string way(double value, const char* positive, const char* negative) {
    return decimals(std::abs(value), 1) + " pixels " + (value >= 0 ? positive : negative);
}

std::string turn_text(double degrees) {
    return decimals(std::abs(degrees), 2) + " degrees " +
           (degrees >= 0 ? "clockwise" : "anticlockwise");
}

GridPoints grid_points(const GridDefinition& g) {
    const auto px = [](const GridPoint& p) {
        return PicturePoint{p.screen_x / 15, p.screen_y / 15};
    };
    PicturePoint fifth{0, 0};
    if (g.check_buoy.screen_x > 0) {
        fifth = px(g.check_buoy);
    } else {
        for (const GridPoint& c : g.corners) {
            fifth.x += c.screen_x / 60;
            fifth.y += c.screen_y / 60;
        }
    }
    return {px(g.corners[0]), px(g.corners[1]), px(g.corners[2]), px(g.corners[3]), fifth};
}

}  // namespace

std::string setup_picture_path(const std::string& setup_file) {
    return setup_file + ".bmp";
}

std::optional<Picture24> read_bitmap_picture(const std::string& path, std::string* why) {
    const auto refuse = [&](const std::string& text) -> std::optional<Picture24> {
        if (why)
            *why = path + ": " + text;
        return std::nullopt;
    };
    constexpr std::uint64_t kLimit =
        std::uint64_t{kMaxPictureSide} * kMaxPictureSide * 3 + 4 * kMaxPictureSide + 1024;
    std::string error;
    const auto bytes = read_whole_file(path, kLimit, &error);
    if (!bytes) {
        if (why)
            *why = error;
        return std::nullopt;
    }
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes->data());
    const size_t size = bytes->size();
    if (size < 54 || b[0] != 'B' || b[1] != 'M')
        return refuse("not a bitmap");
    const std::uint32_t offset = le32(b + 10);
    const auto width = static_cast<std::int32_t>(le32(b + 18));
    const auto height = static_cast<std::int32_t>(le32(b + 22));
    if (le16(b + 28) != 24 || le32(b + 30) != 0)
        return refuse("not an uncompressed 24-bit bitmap");
    const std::int64_t rows = height < 0 ? -std::int64_t{height} : height;
    if (width <= 0 || rows == 0 || width > kMaxPictureSide || rows > kMaxPictureSide)
        return refuse("no picture size a camera gives");
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    if (offset < 54 || offset > size || (size - offset) / stride < static_cast<size_t>(rows))
        return refuse("cut short");
    Picture24 p;
    p.width = width;
    p.height = static_cast<int>(rows);
    p.bgr.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(rows));
    for (int y = 0; y < p.height; ++y) {
        // Rows are stored bottom-up unless the height is negative.
        const size_t from =
            height > 0 ? static_cast<size_t>(p.height - 1 - y) : static_cast<size_t>(y);
        std::copy_n(
            b + offset + from * stride, static_cast<size_t>(width) * 3,
            p.bgr.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * width * 3));
    }
    return p;
}

std::shared_ptr<const Picture24> setup_picture_of(GridState& grids, int grid) {
    SetupPicture& kept = grids.setup_pictures.at(static_cast<size_t>(grid - 1));
    const GridDefinition& g = grids.grid(grid);
    if (kept.picture && kept.c == g.c)
        return kept.picture;
    if (g.setup_file.empty())
        return nullptr;
    const std::string path = setup_picture_path(g.setup_file);
    if (!FileExists(path))
        return nullptr;
    auto picture = read_bitmap_picture(path);
    if (!picture)
        return nullptr;
    kept.picture = std::make_shared<const Picture24>(std::move(*picture));
    kept.c = g.c;
    return kept.picture;
}

std::string camera_moved_message(int grid, const CameraMovement& m) {
    const std::string n = std::to_string(grid);
    return "The camera seems to have moved since grid " + n +
           " was set up: on this picture the buoys lie " + decimals(m.moved_px, 1) +
           " pixels from where they were set up (the picture is shifted " +
           way(m.shift_x, "right", "left") + " and " + way(m.shift_y, "down", "up") + ", turned " +
           turn_text(m.turn_deg) +
           "). Distances measured on it may be wrong. Check the camera and set up grid " + n +
           " again before measuring.";
}

std::optional<double> check_camera(MeasureContext& ctx, const Picture24& picture) {
    MeasureForm& f = ctx.form;
    f.camera_moved_px.reset();
    const int n = ctx.grids.current;
    const std::string grid = "grid " + std::to_string(n);
    const auto reference = setup_picture_of(ctx.grids, n);
    if (!reference) {
        ctx.WriteDebugLog("Camera check: no set-up picture kept for " + grid);
        return std::nullopt;
    }
    std::string why;
    const auto m =
        estimate_camera_movement(*reference, picture, grid_points(ctx.grids.working), &why);
    if (!m) {
        ctx.WriteDebugLog("Camera check for " + grid + " not made: " + why);
        return std::nullopt;
    }
    f.camera_moved_px = m->moved_px;
    const double limit = ctx.config.camera_moved_limit_px;
    const std::string figures =
        grid + ", " + decimals(m->moved_px, 1) + " pixels at the buoys (shift " +
        way(m->shift_x, "right", "left") + ", " + way(m->shift_y, "down", "up") + ", turn " +
        turn_text(m->turn_deg) + "), limit " + decimals(limit, 1) + " pixels";
    if (m->moved_px > limit) {
        ctx.WriteDebugLog("Camera moved: " + figures);
        ctx.dialogs.ok(camera_moved_message(n, *m), MsgIcon::Exclamation);
    } else {
        ctx.WriteDebugLog("Camera check: " + figures);
    }
    return m->moved_px;
}

}  // namespace rs
