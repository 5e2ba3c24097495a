#pragma once
// The measurement screen of a started program over temporary folders, with
// the flat grid loaded and complete, pictures not saved, and a dark blue
// 640 x 480 frame taken for measuring.

#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "app/app.h"
#include "core/text_lines.h"
#include "measure/measure_screen.h"
#include "tests/measure/measure_fixture.h"
#include "tests/support/test_app.h"

namespace rs::test {

class MeasureScreenFixture : public ::testing::Test {
  protected:
    TestApp t;
    App* app = nullptr;
    Measure* m = nullptr;
    std::string capture = t.app_folder + "/currentcapture.bmp";

    // Settings a suite wants before the screen is made.
    virtual void configure(Configuration&) {}

    void SetUp() override {
        app = &t.started();
        GridState& g = app->grids();
        g.grid(1) = flat_grid();
        g.working = g.grid(1);
        g.current = 1;
        g.complete = 1;
        app->configuration().picture_save = "NoSave";
        configure(app->configuration());
        frame(Qt::darkBlue);
        m = &app->measure();
        t.dialogs.clear();
    }

    void frame(Qt::GlobalColor colour, int w = 640, int h = 480) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(capture)));
    }
    void show_from_frame_selection() {
        app->shared().navigation_state = "SelectFrame";
        m->show();
    }
    std::string results() const { return slurp(app->shared().results_file_path); }
};

}  // namespace rs::test
