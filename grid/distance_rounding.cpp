#include "grid/distance_rounding.h"

#include <cmath>

namespace rs {

// Int() of the recording rounds towards minus infinity.
RecordedDistance recorded_distance(double d, bool barefoot) {
    RecordedDistance r;
    r.meters = std::floor(d * 10 + 0.5) / 10;
    r.feet = barefoot ? std::floor(d / 0.03048 + 0.5) / 10 : std::floor(d / 0.3048 + 0.5);
    r.precise = std::floor(d * 10000 + 0.5) / 10000;
    return r;
}

}  // namespace rs
