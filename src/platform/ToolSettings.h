// The tool's own settings file: choices the user makes in the window (the interface language) and
// nothing else; the logger's settings live in the logger.
#pragma once

#include <QString>

class ToolSettings {
  public:
    // The file VEXA_SETTINGS names, or vexaview/vexaview.ini in the user's configuration folder
    // (~/.config on Linux, the local application data folder on Windows).
    static QString DefaultPath();

    explicit ToolSettings(QString path = DefaultPath());
    const QString& Path() const { return path_; }

    // The interface language chosen in the window ("ja", "en"), empty while none was chosen. A file
    // that cannot be read counts as no choice; the reason is kept in LastError().
    QString Language();
    // Remembers the choice; false, with the reason in LastError(), when the file cannot be written.
    bool SetLanguage(const QString& code);

    const QString& LastError() const { return lastError_; }

  private:
    QString path_;
    QString lastError_;
};
