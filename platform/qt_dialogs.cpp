#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <vector>

#include "platform/qt_dialogs.h"

namespace rs {

namespace {

QWidget* owner() {
    return QApplication::activeWindow();
}

QMessageBox::Icon qt_icon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

std::vector<std::string> split_pipes(const std::string& s) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : s) {
        if (c == '|') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur.push_back(c);
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

// The n-th (1-based) entry of a converted filter list, or "".
QString nth_filter(const std::string& pipes, int n) {
    QStringList list = QString::fromStdString(qt_filter_from_pipes(pipes)).split(";;");
    if (n >= 1 && n <= list.size())
        return list[n - 1];
    return {};
}

QString start_path(const FileRequest& r) {
    if (!r.file_name.empty())
        return QString::fromStdString(r.file_name);
    return QString::fromStdString(r.initial_folder);
}

}  // namespace

std::string qt_filter_from_pipes(const std::string& filter) {
    std::vector<std::string> parts = split_pipes(filter);
    std::string out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string desc = parts[i];
        std::string pattern = parts[i + 1];
        for (char& c : pattern) {
            if (c == ';')
                c = ' ';
        }
        // "Text Files (*.TXT)" already names its pattern; Qt reads the last
        // parenthesis, so the pattern field replaces it.
        auto open = desc.rfind('(');
        if (open != std::string::npos && !desc.empty() && desc.back() == ')') {
            desc = desc.substr(0, open);
            while (!desc.empty() && desc.back() == ' ')
                desc.pop_back();
        }
        if (!out.empty())
            out += ";;";
        out += desc + " (" + pattern + ")";
    }
    return out;
}

MsgResult QtDialogs::message(const MessageRequest& r) {
    QMessageBox box(qt_icon(r.icon), QString::fromStdString(r.title),
                    QString::fromStdString(r.text), QMessageBox::NoButton, owner());
    if (r.buttons == MsgButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MsgResult::Ok;
    }
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(r.default_no ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
}

std::string QtDialogs::input(const std::string& prompt, const std::string& title,
                             const std::string& default_text) {
    bool ok = false;
    QString answer = QInputDialog::getText(
        owner(), QString::fromStdString(title.empty() ? kProgramTitle : title),
        QString::fromStdString(prompt), QLineEdit::Normal, QString::fromStdString(default_text),
        &ok);
    return ok ? answer.toStdString() : std::string();
}

std::optional<std::string> QtDialogs::open_file(const FileRequest& r) {
    QString selected = nth_filter(r.filter, r.filter_index);
    QString path = QFileDialog::getOpenFileName(
        owner(), QString::fromStdString(r.title), start_path(r),
        QString::fromStdString(qt_filter_from_pipes(r.filter)), &selected);
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> QtDialogs::save_file(const FileRequest& r) {
    QString selected = nth_filter(r.filter, r.filter_index);
    QString path = QFileDialog::getSaveFileName(
        owner(), QString::fromStdString(r.title), start_path(r),
        QString::fromStdString(qt_filter_from_pipes(r.filter)), &selected);
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

std::string QtDialogs::browse_folder(const std::string& title) {
    QString dir = QFileDialog::getExistingDirectory(owner(), QString::fromStdString(title));
    std::string out = dir.toStdString();
    if (out.size() > 260)
        return {};
    return out;
}

}  // namespace rs
