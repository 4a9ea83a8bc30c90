// Every modal interaction with the user (message boxes, error box, file/input/print/port dialogs) goes
// through this interface, so that tests can script the answers and read what was shown.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;

class Interaction {
public:
    enum class Icon { None, Information, Warning, Error };

    struct FileDialogOptions {
        QString title;
        QString proposedName;   // file name shown in the name box
        QString filter;         // "CSV files (*.csv)|*.CSV" style: description|patterns pairs
        QString defaultSuffix;  // appended by the dialog when the name has none ("" = none)
        bool overwritePrompt = false;
        bool fileMustExist = false;
    };

    virtual ~Interaction() = default;

    // A plain message with an OK button; the caption is the application title.
    virtual void ShowMessage(const QString& text) = 0;
    // A message box with its own caption and icon, OK button only.
    virtual void MessageBox(const QString& text, const QString& caption, Icon icon) = 0;
    // A Yes/No question whose default button is No; true only when the user chose Yes.
    virtual bool AskYesNo(const QString& text, const QString& caption) = 0;
    // The application's error display for an exception that escaped a handler.
    virtual void ErrorBox(const QString& text) = 0;
    // File dialogs: the chosen full path, or nothing when cancelled.
    virtual std::optional<QString> SaveFileName(const FileDialogOptions& options) = 0;
    virtual std::optional<QString> OpenFileName(const FileDialogOptions& options) = 0;
    // A one-line text question; nothing when cancelled.
    virtual std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                              const QString& value) = 0;
    // The print dialog; true when the user confirmed printing on the configured printer.
    virtual bool PrintDialog(QPrinter& printer) = 0;
    // "Select Port": index into names of the chosen port, nothing when cancelled.
    virtual std::optional<int> SelectPort(const QStringList& names) = 0;
};

// Converts a "desc|pattern|desc|pattern" filter into the form Qt's file dialogs take.
QString QtFilterFromPairs(const QString& filter);
