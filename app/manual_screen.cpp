#include "app/manual_screen.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/app.h"
#include "app/main_screen.h"
#include "app/rtf_text.h"
#include "platform/file_reader.h"

namespace rs {

frmManual::frmManual(App& app) : app_(app) {
    setObjectName("frmManual");
    setWindowTitle("Rampsight Manual");
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* Label1 = new QLabel("Rampsight Measurement Manual", central);
    Label1->setObjectName("Label1");
    RichTextBox1 = new QPlainTextEdit(central);
    RichTextBox1->setObjectName("RichTextBox1");
    RichTextBox1->setReadOnly(true);
    auto* cmdDone = new QPushButton("Done", central);
    cmdDone->setObjectName("cmdDone");
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    layout->addWidget(Label1);
    layout->addWidget(RichTextBox1);
    layout->addWidget(cmdDone);
    setCentralWidget(central);
}

void frmManual::Form_Load() {
    // The screen's size less 100 twips (about 7 pixels).
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QSize size = screen->availableSize() - QSize(7, 7);
        resize(size.width() > 200 ? size.width() : 800, size.height() > 200 ? size.height() : 600);
    }
    const std::string path = join_path(app_.paths().app_folder, "RS05Manual.rtf");
    auto rtf = read_whole_file(path);
    if (!rtf) {
        RichTextBox1->setPlainText(
            QString::fromStdString("The manual could not be found: " + path));
        return;
    }
    RichTextBox1->setPlainText(QString::fromStdString(rtf_to_plain_text(*rtf)));
}

void frmManual::closeEvent(QCloseEvent* event) {
    // Closing the window is "Done": the main screen comes back.
    event->ignore();
    cmdDone_Click();
}

void frmManual::cmdDone_Click() {
    app_.main_form().show();
    hide();
}

}  // namespace rs
