// Interaction through real Qt dialogs.
#pragma once

#include "platform/Interaction.h"

class QWidget;

class QtInteraction : public Interaction {
public:
    explicit QtInteraction(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void ShowMessage(const QString& text) override;
    void MessageBox(const QString& text, const QString& caption, Icon icon) override;
    bool AskYesNo(const QString& text, const QString& caption) override;
    void ErrorBox(const QString& text) override;
    std::optional<QString> SaveFileName(const FileDialogOptions& options) override;
    std::optional<QString> OpenFileName(const FileDialogOptions& options) override;
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override;
    bool PrintDialog(QPrinter& printer) override;
    std::optional<int> SelectPort(const QStringList& names) override;

private:
    QWidget* parent_;
};
