#include "platform/qt_program_starter.h"

#include <QProcess>

namespace rs {

bool QtProgramStarter::start(const std::string& path) {
    return QProcess::startDetached(QString::fromStdString(path), {});
}

}  // namespace rs
