// The tool's own settings file, an INI file written whole through QSettings.
#include "platform/ToolSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kLanguageKey = QStringLiteral("interface/language");
} // namespace

QString ToolSettings::DefaultPath() {
    const QString named = qEnvironmentVariable("VEXA_SETTINGS");
    if (!named.isEmpty()) return named;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vexaview/vexaview.ini");
}

ToolSettings::ToolSettings(QString path) : path_(std::move(path)) {}

QString ToolSettings::Language() {
    lastError_.clear();
    const QFileInfo file(path_);
    if (!file.exists()) return {};
    if (!file.isFile() || !file.isReadable()) {
        lastError_ = QStringLiteral("%1 is not a readable file").arg(QDir::toNativeSeparators(path_));
        return {};
    }
    QSettings settings(path_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        lastError_ = QStringLiteral("%1 could not be read").arg(QDir::toNativeSeparators(path_));
        return {};
    }
    return settings.value(kLanguageKey).toString();
}

bool ToolSettings::SetLanguage(const QString& code) {
    lastError_.clear();
    // QSettings creates the file but not its folder.
    if (!QDir().mkpath(QFileInfo(path_).absolutePath())) {
        lastError_ =
            QStringLiteral("the folder of %1 could not be created").arg(QDir::toNativeSeparators(path_));
        return false;
    }
    QSettings settings(path_, QSettings::IniFormat);
    settings.setValue(kLanguageKey, code);
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        lastError_ = QStringLiteral("%1 could not be written").arg(QDir::toNativeSeparators(path_));
        return false;
    }
    return true;
}
