#pragma once
// frmManual: the program's manual, read from "RS05Manual.rtf".

#include <QMainWindow>

class QLabel;
class QPlainTextEdit;

namespace rs {

class App;

class frmManual final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmManual(App& app);
    void Form_Load();
    void cmdDone_Click();

    QPlainTextEdit* RichTextBox1 = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    App& app_;
};

}  // namespace rs
