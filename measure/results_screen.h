#pragma once
// Results: the results file (or the version notes) in a read-only text view.

#include <QMainWindow>

class QPlainTextEdit;

namespace rs {

class App;

class Results final : public QMainWindow {
    Q_OBJECT
  public:
    explicit Results(App& app);
    void Form_Load() {}

    // Empties the view, reads the whole results file and shows it with the
    // path as caption. An unreadable file gives a message and no viewer.
    void mnuResults_Click();
    // Shows a fixed text under a caption (the version notes).
    void show_text(const std::string& text, const std::string& caption);
    void Exit_results_Click();

    QPlainTextEdit* output_box = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    App& app_;
};

}  // namespace rs
