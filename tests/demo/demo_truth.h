#pragma once
// The demo course's truth file as a tool reads it, and the grid set up on
// the demo's set-up picture through the set-up screen, as an official
// would: each buoy clicked at its rounded picture position, the survey typed
// as the surveyor wrote it, the set-up accepted.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>
#include <map>
#include <regex>
#include <string>

#include "app/app.h"
#include "grid/grid_setup_screen.h"
#include "platform/picture_canvas_widget.h"
#include "tests/support/test_app.h"

namespace rs::test {

// What a tool reads from "truth.json".
struct Truth {
    struct Point {
        std::string survey_x, survey_y;  // as written, for typing
        double px = 0, py = 0;
    };
    std::map<std::string, Point> buoys;
    Point contact;
    int contact_frame = -1;
    double distance_m = 0;
    std::string video, setup_picture;
};

inline Truth read_truth(const std::string& path) {
    const std::string json = slurp(path);
    Truth t;
    const std::regex point(
        R"re("([a-z_]+)": \{"survey": \[(-?[0-9.]+), (-?[0-9.]+)\], "pixel": \[(-?[0-9.]+), (-?[0-9.]+)\]\})re");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), point);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        Truth::Point p{m[2], m[3], std::stod(m[4]), std::stod(m[5])};
        if (m[1] == "contact")
            t.contact = p;
        else
            t.buoys[m[1]] = p;
    }
    std::smatch m;
    if (std::regex_search(json, m, std::regex(R"re("contact_frame": ([0-9]+))re")))
        t.contact_frame = std::stoi(m[1]);
    if (std::regex_search(json, m, std::regex(R"re("distance_m": ([0-9.]+))re")))
        t.distance_m = std::stod(m[1]);
    if (std::regex_search(json, m, std::regex(R"re("video": "([^"]+)")re")))
        t.video = m[1];
    if (std::regex_search(json, m, std::regex(R"re("setup_picture": "([^"]+)")re")))
        t.setup_picture = m[1];
    return t;
}

// Accepts the set-up; every message box of the acceptance is left in the
// dialogs' record for the caller to judge.
inline Grid_Setup& set_up_demo_grid(TestApp& t, App& app, const Truth& truth,
                                    const std::string& picture) {
    Grid_Setup& s = app.grid_setup();
    s.show();
    t.dialogs.file(picture);
    s.mnuLoadPicture_Click();
    EXPECT_EQ(s.picture->picture_pixels(), QSize(1280, 720));
    const auto place = [&](QRadioButton* button, const Truth::Point& p) {
        button->setChecked(true);
        s.Form_MouseDown(std::round(p.px) * 15, std::round(p.py) * 15);
    };
    const auto type = [&](ValueBox box, const std::string& text) {
        s.box(box)->setText(QString::fromStdString(text));
    };
    const Truth::Point& ul = truth.buoys.at("upper_left");
    const Truth::Point& ur = truth.buoys.at("upper_right");
    const Truth::Point& ll = truth.buoys.at("lower_left");
    const Truth::Point& lr = truth.buoys.at("lower_right");
    const Truth::Point& cb = truth.buoys.at("check");
    place(s.upper_left_button, ul);
    place(s.upper_right_button, ur);
    place(s.lower_left_button, ll);
    place(s.lower_right_button, lr);
    place(s.optCheckBuoy, cb);
    type(ValueBox::ul_survey_x, ul.survey_x);
    type(ValueBox::ul_survey_y, ul.survey_y);
    type(ValueBox::ur_survey_x, ur.survey_x);
    type(ValueBox::ur_survey_y, ur.survey_y);
    type(ValueBox::ll_survey_x, ll.survey_x);
    type(ValueBox::ll_survey_y, ll.survey_y);
    type(ValueBox::lr_survey_x, lr.survey_x);
    type(ValueBox::lr_survey_y, lr.survey_y);
    type(ValueBox::jump_x, "0");
    type(ValueBox::jump_y, "0");
    type(ValueBox::txtCheckX, cb.survey_x);
    type(ValueBox::txtCheckY, cb.survey_y);
    t.dialogs.clear();
    s.Load_Click();
    return s;
}

}  // namespace rs::test
