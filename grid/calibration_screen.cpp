#include "grid/calibration_screen.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <array>

#include "app/app.h"
#include "app/screen_widgets.h"
#include "core/text_forms.h"
#include "grid/grid_setup_screen.h"
#include "measure/measure_screen.h"
#include "platform/picture_canvas_widget.h"

namespace rs {

namespace {

using namespace widgets;

constexpr const char* kActual = "Actual";
constexpr const char* kScreen = "Screen";
constexpr const char* kPointNames[2] = {"first", "second"};

double value_of(const QLineEdit* box) {
    return text_to_number(box->text().toStdString());
}

void show_value(QLineEdit* box, double value) {
    box->setText(QString::fromStdString(plain_number(value)));
}

Figure line_figure(const CalibrationLine& line, std::uint32_t colour) {
    return Figure::line(line.from.x, line.from.y, line.to.x, line.to.y, colour);
}

}  // namespace

Calibrate::Calibrate(App& app) : app_(app) {
    setObjectName("Calibrate");
    setWindowTitle("Calibration Assistant");
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    auto* grid = new QGridLayout();
    v->addLayout(grid);

    CalibrationLineActualLabel = label(central, "CalibrationLineActualLabel", kActual);
    CalibrationLineScreenLabel = label(central, "CalibrationLineScreenLabel", kScreen);
    grid->addWidget(CalibrationLineActualLabel, 0, 1, 1, 2, Qt::AlignHCenter);
    grid->addWidget(CalibrationLineScreenLabel, 0, 3, 1, 2, Qt::AlignHCenter);
    int column = 1;
    for (const char* axis : {"X (m)", "Y (m)", "X (twips)", "Y (twips)"})
        grid->addWidget(new QLabel(axis, central), 1, column++, Qt::AlignHCenter);

    auto box = [&](const char* name, int row, int col) {
        QLineEdit* b = text_box(central, name, "0");
        b->setMinimumWidth(80);
        grid->addWidget(b, row, col);
        return b;
    };
    grid->addWidget(new QLabel("Point 1", central), 2, 0);
    CalibrationLineXActual = box("CalibrationLineXActual", 2, 1);
    CalibrationLineYActual = box("CalibrationLineYActual", 2, 2);
    CalibrationLineXTwips = box("CalibrationLineXTwips", 2, 3);
    CalibrationLineYTwips = box("CalibrationLineYTwips", 2, 4);
    grid->addWidget(new QLabel("Point 2", central), 3, 0);
    CalibrationLineXActual2 = box("CalibrationLineXActual2", 3, 1);
    CalibrationLineYActual2 = box("CalibrationLineYActual2", 3, 2);
    CalibrationLineXTwips2 = box("CalibrationLineXTwips2", 3, 3);
    CalibrationLineYTwips2 = box("CalibrationLineYTwips2", 3, 4);

    auto* row = new QHBoxLayout();
    v->addLayout(row);
    row->addWidget(new QLabel("Points given as:", central));
    CalibrationLineUnitsSelect = button(central, "CalibrationLineUnitsSelect", kActual);
    CalibrateLineDrawCommand = button(central, "CalibrateLineDrawCommand", "Draw");
    CalibrationLineErase = button(central, "CalibrationLineErase", "Erase");
    formexit = button(central, "formexit", "E&xit");
    row->addWidget(CalibrationLineUnitsSelect);
    row->addStretch(1);
    for (QPushButton* b : {CalibrateLineDrawCommand, CalibrationLineErase, formexit})
        row->addWidget(b);
    setCentralWidget(central);

    connect(CalibrationLineUnitsSelect, &QPushButton::clicked, this,
            [this] { CalibrationLineUnitsSelect_Click(); });
    connect(CalibrateLineDrawCommand, &QPushButton::clicked, this,
            [this] { CalibrateLineDrawCommand_Click(); });
    connect(CalibrationLineErase, &QPushButton::clicked, this,
            [this] { CalibrationLineErase_Click(); });
    connect(formexit, &QPushButton::clicked, this, [this] { formexit_Click(); });
}

void Calibrate::CalibrationLineUnitsSelect_Click() {
    const bool actual = CalibrationLineUnitsSelect->text() == kActual;
    CalibrationLineUnitsSelect->setText(actual ? kScreen : kActual);
}

bool Calibrate::convert_points() {
    const GridDefinition& grid = app_.grids().working;
    const std::array<std::array<QLineEdit*, 4>, 2> points{{
        {CalibrationLineXActual, CalibrationLineYActual, CalibrationLineXTwips,
         CalibrationLineYTwips},
        {CalibrationLineXActual2, CalibrationLineYActual2, CalibrationLineXTwips2,
         CalibrationLineYTwips2},
    }};
    if (CalibrationLineUnitsSelect->text() == kActual) {
        // Both points are checked before any box changes.
        std::array<ScreenPoint, 2> screen{};
        for (size_t i = 0; i < 2; ++i) {
            const auto p =
                calibration_screen_point(grid, value_of(points[i][0]), value_of(points[i][1]));
            if (!p) {
                app_.dialogs().ok(std::string("The ") + kPointNames[i] +
                                      " point of the line has no place on the picture with the "
                                      "current grid: it lies on or beyond the horizon, or the "
                                      "grid is not set up. No line is drawn.",
                                  MsgIcon::Exclamation);
                return false;
            }
            screen[i] = *p;
        }
        for (size_t i = 0; i < 2; ++i) {
            show_value(points[i][2], screen[i].x);
            show_value(points[i][3], screen[i].y);
        }
        return true;
    }
    for (size_t i = 0; i < 2; ++i) {
        const auto p =
            calibration_survey_point(grid, value_of(points[i][2]), value_of(points[i][3]));
        if (p) {
            show_value(points[i][0], p->x);
            show_value(points[i][1], p->y);
            continue;
        }
        // A point above the horizon is still a line on the picture, but it has
        // no position on the water to show.
        points[i][0]->clear();
        points[i][1]->clear();
        app_.dialogs().ok(std::string("The ") + kPointNames[i] +
                              " point of the line lies on or beyond the horizon of the current "
                              "grid: it has no position on the water.",
                          MsgIcon::Exclamation);
    }
    return true;
}

std::vector<PictureCanvas*> Calibrate::canvases() const {
    std::vector<PictureCanvas*> out;
    if (Measure* measure = app_.built_measure())
        out.push_back(&measure->canvas());
    if (Grid_Setup* setup = app_.built_grid_setup())
        out.push_back(setup->picture);
    return out;
}

void Calibrate::remove_last_line() {
    for (PictureCanvas* canvas : canvases())
        (void)canvas->remove(line_figure(last_line_, kCalibrationEraseColour));
}

void Calibrate::CalibrateLineDrawCommand_Click() {
    if (!convert_points())
        return;
    const CalibrationLine line{
        {value_of(CalibrationLineXTwips), value_of(CalibrationLineYTwips)},
        {value_of(CalibrationLineXTwips2), value_of(CalibrationLineYTwips2)}};
    remove_last_line();
    for (PictureCanvas* canvas : canvases())
        canvas->draw(line_figure(line, kCalibrationLineColour));
    last_line_ = line;
}

void Calibrate::CalibrationLineErase_Click() {
    remove_last_line();
}

void Calibrate::formexit_Click() {
    hide();
}

void Calibrate::closeEvent(QCloseEvent* event) {
    event->ignore();
    formexit_Click();
}

}  // namespace rs
