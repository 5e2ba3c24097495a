#include "measure/results_screen.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "app/app.h"
#include "core/text_forms.h"
#include "platform/file_reader.h"

namespace rs {

namespace {
// Files written on this machine are UTF-8; older ones may be in the 8-bit
// code page, which Latin-1 reads without loss.
QString decode(const std::string& bytes) {
    QString utf8 = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!utf8.contains(QChar::ReplacementCharacter))
        return utf8;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
}  // namespace

Results::Results(App& app) : app_(app) {
    setObjectName("Results");
    setWindowTitle("Results");
    output_box = new QPlainTextEdit(this);
    output_box->setObjectName("output_box");
    output_box->setReadOnly(true);
    output_box->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono("Monospace");
    mono.setStyleHint(QFont::TypeWriter);
    output_box->setFont(mono);
    setCentralWidget(output_box);
    QAction* exit = menuBar()->addAction("E&xit");
    exit->setObjectName("Exit_results");
    connect(exit, &QAction::triggered, this, [this] { Exit_results_Click(); });
    resize(800, 600);
}

void Results::mnuResults_Click() {
    output_box->clear();
    std::string path = app_.shared().results_file_path;
    path.erase(0, path.find_first_not_of(' ') == std::string::npos ? path.size()
                                                                   : path.find_first_not_of(' '));
    auto content = read_whole_file(path);
    if (!content) {
        app_.WriteDebugLog("Results file could not be opened: " + path);
        app_.dialogs().ok(path.empty() ? std::string("No results file has been set up yet.")
                                       : "The results file " + path + " could not be opened.",
                          MsgIcon::Exclamation);
        // An empty viewer under the old file's caption would pass for it.
        hide();
        return;
    }
    output_box->setPlainText(decode(*content));
    setWindowTitle(QString::fromStdString(path));
    show();
}

void Results::show_text(const std::string& text, const std::string& caption) {
    output_box->clear();
    output_box->setPlainText(QString::fromStdString(text));
    setWindowTitle(QString::fromStdString(caption));
    show();
}

void Results::closeEvent(QCloseEvent* event) {
    // Closing the window is the viewer's own exit.
    event->ignore();
    Exit_results_Click();
}

void Results::Exit_results_Click() {
    hide();
    output_box->clear();
}

}  // namespace rs
