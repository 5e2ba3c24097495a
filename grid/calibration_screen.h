#pragma once
// Calibrate: the calibration assistant. The operator gives a line by two
// survey points ("Actual") or two screen points ("Screen"); Draw shows the
// other form of both points and draws the line over the pictures of the grid
// set-up screen and the measurement screen, replacing the line drawn before;
// Erase removes it.

#include <QMainWindow>

#include "grid/calibration_lines.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace rs {

class App;
class PictureCanvas;

class Calibrate final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Calibrate(App& app);
    void Form_Load() {}

    void CalibrationLineUnitsSelect_Click();
    void CalibrateLineDrawCommand_Click();
    void CalibrationLineErase_Click();
    void formexit_Click();

    // The line last drawn (twips); all 0 before the first.
    const CalibrationLine& last_line() const { return last_line_; }

    QLineEdit* CalibrationLineXActual = nullptr;
    QLineEdit* CalibrationLineYActual = nullptr;
    QLineEdit* CalibrationLineXActual2 = nullptr;
    QLineEdit* CalibrationLineYActual2 = nullptr;
    QLineEdit* CalibrationLineXTwips = nullptr;
    QLineEdit* CalibrationLineYTwips = nullptr;
    QLineEdit* CalibrationLineXTwips2 = nullptr;
    QLineEdit* CalibrationLineYTwips2 = nullptr;
    QPushButton* CalibrationLineUnitsSelect = nullptr;
    QLabel* CalibrationLineActualLabel = nullptr;
    QLabel* CalibrationLineScreenLabel = nullptr;
    QPushButton* CalibrateLineDrawCommand = nullptr;
    QPushButton* CalibrationLineErase = nullptr;
    QPushButton* formexit = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    // The pictures the line goes on: those of the screens that exist.
    std::vector<PictureCanvas*> canvases() const;
    // Fills the other form of both points; false (nothing drawn) when a
    // survey point has no place on the picture.
    bool convert_points();
    void remove_last_line();

    App& app_;
    CalibrationLine last_line_{};
};

}  // namespace rs
