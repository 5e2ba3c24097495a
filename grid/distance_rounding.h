#pragma once
// How a jump distance is recorded: meters to a tenth, feet whole (tenths of
// a foot for barefoot), and the precise distance to four decimals. The
// measurement screen, the jump recording and rampsight-cli use these so that
// every place shows the distance that goes into the results.

namespace rs {

struct RecordedDistance {
    double meters = 0;   // Int(d * 10 + 0.5) / 10
    double feet = 0;     // Int(d / 0.3048 + 0.5), or Int(d / 0.03048 + 0.5) / 10 barefoot
    double precise = 0;  // Int(d * 10000 + 0.5) / 10000
};

RecordedDistance recorded_distance(double distance, bool barefoot);

}  // namespace rs
