#include "video/select_skier_screen.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/screen_widgets.h"
#include "measure/measure_screen.h"
#include "video/capture_screen.h"
#include "video/skier_names.h"

namespace rs {

frmSelectSkier::frmSelectSkier(App& app, QWidget* parent, SkierNameSink chosen)
    : QDialog(parent), app_(app), chosen_(std::move(chosen)) {
    setObjectName("frmSelectSkier");
    setWindowTitle("Select A Skier");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    Label1 = widgets::label(this, "Label1", "Double Click on Skier Name to select it");
    lstSkiers = new QListWidget(this);
    lstSkiers->setObjectName("lstSkiers");
    cmdNoSelect = widgets::button(this, "cmdNoSelect", "No Selection");
    layout->addWidget(Label1);
    layout->addWidget(lstSkiers);
    layout->addWidget(cmdNoSelect);
    resize(320, 400);
    connect(lstSkiers, &QListWidget::itemDoubleClicked, this, [this] { lstSkiers_DblClick(); });
    // Enter on a line picks it as a double click does.
    connect(lstSkiers, &QListWidget::itemActivated, this, [this] { lstSkiers_DblClick(); });
    connect(cmdNoSelect, &QPushButton::clicked, this, [this] { cmdNoSelect_Click(); });
    Form_Load();
}

void frmSelectSkier::Form_Load() {
    lstSkiers->clear();
    std::string error;
    auto names = skier_list(app_.paths().app_folder, &error);
    if (!names) {
        app_.WriteDebugLog("Skier list not read: " + error);
        return;
    }
    for (const auto& name : *names)
        lstSkiers->addItem(QString::fromStdString(name));
}

void frmSelectSkier::lstSkiers_DblClick() {
    QListWidgetItem* item = lstSkiers->currentItem();
    if (!item)
        return;
    // The double click and the activation of one press run this once.
    const std::string name = item->text().toStdString();
    if (chosen_) {
        auto chosen = std::move(chosen_);
        chosen_ = nullptr;
        chosen(name);
    }
    close();
}

void frmSelectSkier::cmdNoSelect_Click() {
    close();
}

void set_capture_skier_name(App& app, const std::string& name) {
    if (PreviewForm* preview = app.built_preview_form()) {
        // The field's own change handler applies the name rules and sets
        // the pass back to 1.
        preview->txtSkierName->setText(QString::fromStdString(name));
        return;
    }
    CaptureValues& capture = app.shared().capture;
    if (capture.skier_name == name)
        return;
    capture.skier_name = std::string(name);
    capture.pass = std::string("1");
}

frmSelectSkier* open_skier_list(App& app, QWidget* over, bool from_select_button,
                                SkierNameSink set_name) {
    if (from_select_button && app.configuration().wstims) {
        take_scoring_program_name(app, set_name);
        return nullptr;
    }
    if (!FileExists(join_path(app.paths().app_folder, kSkierNamesFile))) {
        app.dialogs().ok(kNoSkierNamesMessage);
        return nullptr;
    }
    auto* list = new frmSelectSkier(app, over, std::move(set_name));
    list->setModal(true);
    list->show();
    return list;
}

bool take_scoring_program_name(App& app, const SkierNameSink& set_name) {
    std::string error;
    auto name = scoring_program_name(app.paths().exchange_folder, &error);
    if (!name) {
        app.WriteDebugLog("WSTIMS name not read: " + error);
        return false;
    }
    app.measure().Skier_name->setEditText(QString::fromStdString(*name));
    if (set_name)
        set_name(*name);
    return true;
}

}  // namespace rs
