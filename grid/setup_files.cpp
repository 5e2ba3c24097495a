#include "grid/setup_files.h"

namespace rs {

void save_setup(GridContext&) {}
void load_setup(GridContext&) {}
void reload_configured_setup(GridContext&, const std::string&, int) {}

bool grids_complete(const GridState& grids, int grid_count) {
    for (int n = 1; n <= grid_count && n <= 3; ++n)
        if (!grids.grid(n).loaded)
            return false;
    return grid_count >= 1;
}

double direction_sign(const std::string&, const std::string&) {
    return 1;
}

}  // namespace rs
