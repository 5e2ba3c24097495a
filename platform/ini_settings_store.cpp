#include "platform/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <map>

#include "core/text_forms.h"

namespace rs {

namespace {
constexpr const char* kSection = "Settings";
}

struct IniSettingsStore::Impl {
    // Every value read at start and every value written since, by lower-case
    // key: a write that did not reach the disk still holds for this run.
    std::map<std::string, std::string> values;
};

IniSettingsStore::IniSettingsStore(std::string file_path, LogSink log)
    : path_(std::move(file_path)), log_(std::move(log)), impl_(std::make_unique<Impl>()) {
    QFileInfo info(QString::fromStdString(path_));
    if (!info.isFile())
        return;
    QSettings ini(QString::fromStdString(path_), QSettings::IniFormat);
    ini.beginGroup(kSection);
    const QStringList keys = ini.childKeys();
    std::map<std::string, std::string> read;
    for (const QString& k : keys) {
        read[to_lower(k.toStdString())] = ini.value(k).toString().toStdString();
    }
    ini.endGroup();
    if (ini.status() != QSettings::NoError || !info.isReadable()) {
        // Defaults rather than half-understood values; the unreadable file is
        // kept beside the new one for whoever wants to look at it.
        if (log_)
            log_("Settings file unreadable, defaults used: " + path_);
        QFile::remove(QString::fromStdString(path_ + ".corrupt"));
        QFile::rename(QString::fromStdString(path_), QString::fromStdString(path_ + ".corrupt"));
        return;
    }
    impl_->values = std::move(read);
}

IniSettingsStore::~IniSettingsStore() = default;

std::string IniSettingsStore::get(std::string_view key, std::string_view def) const {
    auto it = impl_->values.find(to_lower(key));
    if (it == impl_->values.end())
        return std::string(def);
    return it->second;
}

bool IniSettingsStore::save(std::string_view key, std::string_view value) {
    const std::string k = to_lower(key);
    impl_->values[k] = std::string(value);
    QFileInfo info(QString::fromStdString(path_));
    QDir().mkpath(info.absolutePath());
    bool ok = false;
    {
        // QSettings writes through a temporary file and renames it over the
        // old one, so the store on disk is always whole.
        QSettings ini(QString::fromStdString(path_), QSettings::IniFormat);
        ini.setAtomicSyncRequired(true);
        ini.beginGroup(kSection);
        ini.setValue(QString::fromStdString(k), QString::fromStdString(std::string(value)));
        ini.endGroup();
        ini.sync();
        ok = ini.status() == QSettings::NoError;
    }
    if (!ok && log_) {
        log_("Setting not saved (" + std::string(key) + "): " + path_);
    }
    return ok;
}

std::string IniSettingsStore::default_file_path() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.config";
    return (base + "/RS05/RS05.ini").toStdString();
}

}  // namespace rs
