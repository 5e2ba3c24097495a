#include "app/log_view.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>
#include <optional>

#include "app/app.h"
#include "app/log_lines.h"
#include "app/main_screen.h"
#include "app/screen_widgets.h"
#include "measure/measure_screen.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "video/frame_selection_screen.h"

namespace rs {

namespace {

using namespace widgets;

// Lines are listed as the program wrote them (UTF-8); an older log in the
// 8-bit code page is read as Latin-1, which keeps every character.
QString shown(const std::string& bytes) {
    QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string line_of(const QListWidgetItem* item) {
    return item ? item->data(Qt::UserRole).toByteArray().toStdString() : std::string();
}

// Fills the list with the lines of the log at path that end in `ending`. A
// log that is there but cannot be read is reported; the list stays empty.
void fill_list(App& app, LogList& list, const std::string& path, std::string_view ending) {
    list.clear();
    const LogListing listing = read_log_listing(path, ending);
    if (!listing.error.empty()) {
        app.WriteDebugLog("Log file could not be read: " + listing.error);
        app.dialogs().ok("The log file could not be read.\n" + listing.error, MsgIcon::Exclamation);
    }
    for (const std::string& line : listing.lines) {
        auto* item = new QListWidgetItem(shown(line), &list);
        item->setData(Qt::UserRole, QByteArray::fromStdString(line));
    }
    ListHorizontalExtent(list);
}

// Shows the day's log in the path box and its lines in the list; with no log
// of the day both stay empty.
void show_day_log(App& app, LogList& list, QLineEdit& path_box, std::string_view ending) {
    const std::string path =
        day_log_path(app.shared().video_folder, app.shared().measurement_log_name);
    if (FileExists(path)) {
        path_box.setText(shown(path));
        fill_list(app, list, path, ending);
    } else {
        list.clear();
        ListHorizontalExtent(list);
    }
}

// The screen's file dialog over the measurement logs, starting in the video
// folder with its last choice. A cancelled dialog leaves the screen as it
// was.
void choose_log(App& app, std::string& last_choice, LogList& list, QLineEdit& path_box,
                std::string_view ending) {
    FileRequest request;
    request.title = "Select a Measurement Log";
    request.filter = "*.txt|JumpMeasurementLog*.txt";
    request.filter_index = 1;
    request.initial_folder = app.shared().video_folder;
    request.file_name = last_choice;
    const std::optional<std::string> chosen = app.dialogs().open_file(request);
    if (!chosen)
        return;
    last_choice = *chosen;
    path_box.setText(shown(*chosen));
    if (FileExists(*chosen)) {
        fill_list(app, list, *chosen, ending);
    } else {
        list.clear();
        ListHorizontalExtent(list);
    }
}

// The path of the selected line into the box; a line without one empties it.
void show_selected_path(const LogList& list, QLineEdit& box) {
    const std::string line = line_of(list.currentItem());
    box.setText(log_line_has_path(line) ? shown(log_line_path(line)) : QString());
}

QWidget* button_row(QWidget* parent, std::initializer_list<QWidget*> buttons) {
    auto* row = new QWidget(parent);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    for (QWidget* b : buttons)
        h->addWidget(b);
    h->addStretch(1);
    return row;
}

}  // namespace

// --- The list ----------------------------------------------------------------------

LogList::LogList(QWidget* parent) : QListWidget(parent) {
    // Log lines are laid out in print zones: columns line up in a fixed pitch.
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
}

void LogList::set_horizontal_extent(int pixels) {
    extent_ = std::max(0, pixels);
    updateGeometries();
}

void LogList::updateGeometries() {
    QListWidget::updateGeometries();
    QScrollBar* bar = horizontalScrollBar();
    const int reach = extent_ - viewport()->width();
    if (reach > bar->maximum())
        bar->setRange(0, reach);
}

void ListHorizontalExtent(LogList& list) {
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i)
        entries.push_back(list.item(i)->text().toStdString());
    const QString widest = QString::fromStdString(widest_list_entry(entries));
    list.set_horizontal_extent(list.fontMetrics().horizontalAdvance(widest));
}

// --- LogView -----------------------------------------------------------------------

LogView::LogView(App& app) : app_(app) {
    setObjectName("LogView");
    setWindowTitle("Log Viewer");
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    Label1 = label(central, "Label1", "Log File to View");
    txtLogFile = text_box(central, "txtLogFile", "");
    lstLog = new LogList(central);
    lstLog->setObjectName("lstLog");
    Label2 = label(central, "Label2",
                   "Click to Select and use View Selected File button to View or Double Click to "
                   "view");
    txtFileToView = text_box(central, "txtFileToView", "");
    cmdSelectLogFile = button(central, "cmdSelectLogFile", "Select Different Log File");
    cmdView = button(central, "cmdView", "View Selected File");
    cmdDismiss = button(central, "cmdDismiss", "Exit Log Viewer");
    v->addWidget(Label1);
    v->addWidget(txtLogFile);
    v->addWidget(lstLog, 1);
    v->addWidget(Label2);
    v->addWidget(txtFileToView);
    v->addWidget(button_row(central, {cmdSelectLogFile, cmdView, cmdDismiss}));
    setCentralWidget(central);

    connect(cmdSelectLogFile, &QPushButton::clicked, this, [this] { cmdSelectLogFile_Click(); });
    connect(cmdView, &QPushButton::clicked, this, [this] { cmdView_Click(); });
    connect(cmdDismiss, &QPushButton::clicked, this, [this] { cmdDismiss_Click(); });
    connect(lstLog, &QListWidget::currentRowChanged, this, [this](int) { lstLog_Click(); });
    connect(lstLog, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { lstLog_DblClick(); });
    resize(900, 480);
}

void LogView::Form_Load() {
    show_day_log(app_, *lstLog, *txtLogFile, kVideoLineEnding);
}

void LogView::cmdSelectLogFile_Click() {
    choose_log(app_, cd2_file_name_, *lstLog, *txtLogFile, kVideoLineEnding);
}

void LogView::lstLog_Click() {
    show_selected_path(*lstLog, *txtFileToView);
}

void LogView::lstLog_DblClick() {
    lstLog_Click();
    cmdView_Click();
}

void LogView::cmdView_Click() {
    const std::string video = txtFileToView->text().toStdString();
    if (video.empty())
        return;
    App& app = app_;  // this screen is closed on the way
    app.shared().navigation_state = "View";
    app.shared().current_video_path = video;
    app.drop_log_view();
    app.main_form().hide();
    frmSetStart& set_start = app.set_start();
    if (set_start.isVisible()) {
        // Opened from the frame selection screen, which takes the video as it
        // comes back to the front.
        set_start.raise();
        set_start.activateWindow();
        set_start.Form_GotFocus();
    } else {
        set_start.show();
    }
}

void LogView::cmdDismiss_Click() {
    app_.drop_log_view();
}

void LogView::closeEvent(QCloseEvent* event) {
    event->ignore();
    cmdDismiss_Click();
}

// --- PictureLogView ----------------------------------------------------------------

PictureLogView::PictureLogView(App& app) : app_(app) {
    setObjectName("PictureLogView");
    setWindowTitle("Contact Picture Log");
    auto* central = new QWidget(this);
    auto* v = new QVBoxLayout(central);
    txtPicLogToView = text_box(central, "txtPicLogToView", "");
    lstPicLog = new LogList(central);
    lstPicLog->setObjectName("lstPicLog");
    txtPictureToView = text_box(central, "txtPictureToView", "");
    cmdSelPicLog = button(central, "cmdSelPicLog", "Select a Log File");
    cmdViewPicLog = button(central, "cmdViewPicLog", "View Picture");
    v->addWidget(label(central, "lblPicLog", "Log File to View"));
    v->addWidget(txtPicLogToView);
    v->addWidget(lstPicLog, 1);
    v->addWidget(label(central, "lblPicture", "Picture to View"));
    v->addWidget(txtPictureToView);
    v->addWidget(button_row(central, {cmdSelPicLog, cmdViewPicLog}));
    setCentralWidget(central);

    connect(cmdSelPicLog, &QPushButton::clicked, this, [this] { cmdSelPicLog_Click(); });
    connect(cmdViewPicLog, &QPushButton::clicked, this, [this] { cmdViewPicLog_Click(); });
    connect(lstPicLog, &QListWidget::currentRowChanged, this, [this](int) { lstPicLog_Click(); });
    connect(lstPicLog, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { lstPicLog_DblClick(); });
    resize(900, 480);
}

void PictureLogView::Form_Load() {
    show_day_log(app_, *lstPicLog, *txtPicLogToView, kPictureLineEnding);
}

void PictureLogView::cmdSelPicLog_Click() {
    choose_log(app_, cd3_file_name_, *lstPicLog, *txtPicLogToView, kPictureLineEnding);
}

void PictureLogView::lstPicLog_Click() {
    show_selected_path(*lstPicLog, *txtPictureToView);
}

void PictureLogView::lstPicLog_DblClick() {
    lstPicLog_Click();
    cmdViewPicLog_Click();
}

void PictureLogView::cmdViewPicLog_Click() {
    App& app = app_;  // this screen is closed on the way
    // The measurement screen shows distances only through complete grids.
    if (app.grids().complete != 1) {
        app.dialogs().ok(
            "At least one measurement grid that you have specified has not been set up.  All "
            "grids specified must be set up correctly before you can use the measurement screen",
            MsgIcon::Critical);
        return;
    }
    Measure& measure = app.measure();
    const std::string path = txtPictureToView->text().toStdString();
    if (!path.empty()) {
        std::string error;
        if (!measure.load_picture_file(path, &error)) {
            // The viewer stays, so that another picture can be chosen.
            app.WriteDebugLog("Picture from the log not loaded: " + error);
            app.dialogs().ok("The picture could not be loaded: " + error, MsgIcon::Exclamation);
            return;
        }
        measure.show_the_grid();
        measure.form().gif_file_name = path;
        measure.form().gif_file_name_visible = true;
        measure.gif_file_name->setText(QString::fromStdString(path));
        measure.gif_file_name->setVisible(true);
        measure.place_file_name_below_description();
        app.shared().navigation_state = "PictureLog";
    } else {
        measure.form().gif_file_name.clear();
        measure.gif_file_name->clear();
    }
    app.drop_picture_log_view();
    measure.show();
    measure.raise();
    measure.activateWindow();
}

void PictureLogView::close_viewer() {
    app_.drop_picture_log_view();
}

void PictureLogView::closeEvent(QCloseEvent* event) {
    event->ignore();
    close_viewer();
}

}  // namespace rs
