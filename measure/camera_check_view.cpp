#include "measure/camera_check_view.h"

#include "measure/camera_check.h"
#include "video/dib.h"

namespace rs {

Picture24 picture24_of(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    Picture24 p;
    p.width = rgb.width();
    p.height = rgb.height();
    p.bgr.resize(static_cast<size_t>(p.width) * p.height * 3);
    for (int y = 0; y < p.height; ++y) {
        const uchar* row = rgb.constScanLine(y);
        std::uint8_t* out = p.bgr.data() + static_cast<size_t>(y) * p.width * 3;
        for (int x = 0; x < p.width; ++x) {
            out[x * 3] = row[x * 3 + 2];
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
    }
    return p;
}

void keep_setup_picture(GridState& grids, int grid, const QImage& shown) {
    SetupPicture& kept = grids.setup_pictures.at(static_cast<size_t>(grid - 1));
    if (shown.isNull()) {
        kept = {};
        return;
    }
    kept.picture = std::make_shared<const Picture24>(picture24_of(shown));
    kept.c = grids.grid(grid).c;
}

WriteResult save_setup_picture(GridState& grids, int grid, const QImage& shown, FileWriter& files) {
    const GridDefinition& g = grids.grid(grid);
    std::shared_ptr<const Picture24> picture = setup_picture_of(grids, grid);
    if (!picture && !shown.isNull()) {
        keep_setup_picture(grids, grid, shown);
        picture = grids.setup_pictures.at(static_cast<size_t>(grid - 1)).picture;
    }
    if (!picture || g.setup_file.empty())
        return WriteResult::success();
    return write_picture_bmp(files, *picture, setup_picture_path(g.setup_file));
}

}  // namespace rs
