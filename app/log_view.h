#pragma once
// The log viewers: LogView lists the video lines of a measurement log and
// opens the chosen video on the frame selection screen; PictureLogView lists
// the picture lines and opens the chosen picture on the measurement screen.
// Both start with the day's log and can switch to any other. They live only
// while shown: closing one destroys it, and the next showing reads the day's
// log again.

#include <QListWidget>
#include <QMainWindow>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace rs {

class App;

// A list whose sideways scrolling reaches a set width, so that the longest
// log line can be read to its end.
class LogList final : public QListWidget {
    Q_OBJECT
  public:
    explicit LogList(QWidget* parent = nullptr);
    // The width (pixels) the content can be scrolled across.
    void set_horizontal_extent(int pixels);
    int horizontal_extent() const { return extent_; }

  protected:
    void updateGeometries() override;

  private:
    int extent_ = 0;
};

// Sets the list's horizontal extent to the width of its longest entry (by
// character count) followed by one blank, in the list's font.
void ListHorizontalExtent(LogList& list);

class LogView final : public QMainWindow {
    Q_OBJECT
  public:
    explicit LogView(App& app);
    void Form_Load();

    void cmdSelectLogFile_Click();
    void lstLog_Click();
    void lstLog_DblClick();
    void cmdView_Click();
    void cmdDismiss_Click();

    QLabel* Label1 = nullptr;
    QLineEdit* txtLogFile = nullptr;
    LogList* lstLog = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtFileToView = nullptr;
    QPushButton* cmdSelectLogFile = nullptr;
    QPushButton* cmdView = nullptr;
    QPushButton* cmdDismiss = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    App& app_;
    std::string cd2_file_name_;  // the file dialog's last choice
};

class PictureLogView final : public QMainWindow {
    Q_OBJECT
  public:
    explicit PictureLogView(App& app);
    void Form_Load();

    void cmdSelPicLog_Click();
    void lstPicLog_Click();
    void lstPicLog_DblClick();
    void cmdViewPicLog_Click();
    // The way out by the window frame, the screen's only one.
    void close_viewer();

    QLineEdit* txtPicLogToView = nullptr;
    LogList* lstPicLog = nullptr;
    QLineEdit* txtPictureToView = nullptr;
    QPushButton* cmdSelPicLog = nullptr;
    QPushButton* cmdViewPicLog = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    App& app_;
    std::string cd3_file_name_;  // the file dialog's last choice
};

}  // namespace rs
