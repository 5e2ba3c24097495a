#include "grid/accuracy_check.h"

#include <cmath>

#include "grid/setup_files.h"

namespace rs {

namespace {

constexpr double kPixel = 15;         // twips
constexpr double kClassSlack = 1e-9;  // meters; see accuracy_class
constexpr const char* kRowQuestion =
    "Pick the line number that best represents where the skier will land";
constexpr const char* kRowTitle = "Input the skier path line";

ScreenPoint between(const GridPoint& a, const GridPoint& b, int k) {
    const double t = double(k - 1) / double(kLatticeSize - 1);
    return {a.screen_x + (b.screen_x - a.screen_x) * t, a.screen_y + (b.screen_y - a.screen_y) * t};
}

// Integer part of 100 x value + 0.5, over 100, in plain form: the report's
// two decimals.
std::string two_decimals(double v) {
    return plain_number(std::floor(100 * v + 0.5) / 100);
}

std::string whole(double v) {
    return plain_number(std::floor(v));
}

std::string display_text(const AccuracyPoint& p, AccuracyDisplay display) {
    switch (display) {
        case AccuracyDisplay::Distance:
            return plain_number(std::floor(10 * p.d0 + 0.5) / 10);
        case AccuracyDisplay::Detail:
            return plain_number(std::floor(100 * p.delta + 0.5) / 100);
        default:
            return accuracy_class(p.delta);
    }
}

}  // namespace

ScreenPoint lattice_point(const GridDefinition& g, int row, int column) {
    const ScreenPoint top = between(g.corners[kUpperLeft], g.corners[kUpperRight], column);
    const ScreenPoint bottom = between(g.corners[kLowerLeft], g.corners[kLowerRight], column);
    const double t = double(row - 1) / double(kLatticeSize - 1);
    return {top.x + (bottom.x - top.x) * t, top.y + (bottom.y - top.y) * t};
}

std::string accuracy_class(double delta) {
    if (delta <= 0.1 + kClassSlack)
        return "R";
    if (delta <= 0.15 + kClassSlack)
        return "L";
    if (delta <= 0.2 + kClassSlack)
        return "C";
    return "NH";
}

std::vector<AccuracyPoint> accuracy_points(const GridDefinition& w, JumpKind kind,
                                           AccuracyDisplay display) {
    std::vector<AccuracyPoint> points;
    points.reserve(kLatticePoints);
    for (int row = 1; row <= kLatticeSize; ++row) {
        for (int column = 1; column <= kLatticeSize; ++column) {
            AccuracyPoint p;
            p.screen = lattice_point(w, row, column);
            const auto d0 = distance_calculation(w, p.screen.x, p.screen.y, kind);
            const auto dh = distance_calculation(w, p.screen.x + kPixel, p.screen.y, kind);
            const auto dv = distance_calculation(w, p.screen.x, p.screen.y + kPixel, kind);
            if (d0 && dh && dv) {
                p.survey = d0->survey;
                p.d0 = d0->distance;
                p.dh = dh->distance;
                p.dv = dv->distance;
                const double h = std::fabs(p.dh - p.d0), v = std::fabs(p.dv - p.d0);
                p.delta = v > h ? v : h;
                p.text = display_text(p, display);
            }
            points.push_back(p);
        }
    }
    return points;
}

std::string accuracy_point_line(const AccuracyPoint& p) {
    std::string line = "xpix: " + whole(p.screen.x) + "  ypix: " + whole(p.screen.y);
    if (!p.has_image())
        return line + "  no image: the point lies on or beyond the horizon of the grid";
    return line + "  x: " + two_decimals(p.survey->x) + "  y: " + two_decimals(p.survey->y) +
           "  distance: " + two_decimals(p.d0) + "  v inc: " + two_decimals(p.dv) +
           "  h inc: " + two_decimals(p.dh) + "  delta: " + two_decimals(p.delta);
}

std::vector<std::string> accuracy_report_lines(const SetupForm& form, const GridDefinition& w,
                                               const AccuracyReportHeader& h,
                                               const std::vector<AccuracyPoint>& points) {
    std::vector<std::string> lines;
    lines.push_back(date_text(h.now) + "  " + time_text(h.now) + " Accuracy Check");
    lines.push_back("Grid Set-up for accuracy check");
    lines.push_back(form.ipt_file_description);
    lines.push_back(form.ipt_file_description_2);
    lines.push_back("Grid Number: " + print_number(h.grid));
    lines.push_back(" ");
    lines.push_back("Front Ratio: " + whole(h.front_ratio));
    lines.push_back("Back Ratio: " + whole(h.back_ratio));
    // The corners and the jump point exactly as the acceptance block of the
    // results file shows them: its lines 6 to 19.
    const auto block = new_setup_block(form, w, h.grid, h.now, SetupBlockKind::Accept);
    lines.insert(lines.end(), block.begin() + 5, block.begin() + 19);
    lines.push_back("Check Buoy X,Y Pixels: " + print_number(w.check_buoy.screen_x) + "  " +
                    print_number(w.check_buoy.screen_y));
    lines.push_back("Check Buoy X,Y Survey: " + form.txtCheckX + "  " + form.txtCheckY);
    lines.push_back(" ");
    for (const AccuracyPoint& p : points)
        lines.push_back(accuracy_point_line(p));
    lines.push_back("Accuracy Check Complete");
    lines.push_back("");
    return lines;
}

std::string accuracy_report_name(const DateTime& now) {
    const std::string date = date_text(now);  // MM-DD-YYYY
    return "acc" + date.substr(0, 2) + date.substr(3, 2) + ".txt";
}

std::optional<int> accuracy_row_from_answer(const std::string& answer) {
    const double n = text_to_number(answer);
    if (n >= 1 && n <= kAccuracyRowChoices && n == std::floor(n))
        return static_cast<int>(n);
    return std::nullopt;
}

int ask_accuracy_row(Dialogs& dialogs) {
    while (true) {
        if (auto row = accuracy_row_from_answer(dialogs.input(kRowQuestion, kRowTitle, "")))
            return *row;
    }
}

}  // namespace rs
