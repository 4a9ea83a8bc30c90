// Interaction through real Qt dialogs.
#include "platform/QtInteraction.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QVBoxLayout>

QString QtFilterFromPairs(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(QStringLiteral(";;"));
}

void QtInteraction::ShowMessage(const QString& text) {
    QMessageBox::information(parent_, QApplication::applicationName(), text);
}

void QtInteraction::MessageBox(const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(parent_);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    case Icon::None: break;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtInteraction::AskYesNo(const QString& text, const QString& caption) {
    return QMessageBox::question(parent_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtInteraction::ErrorBox(const QString& text) {
    QMessageBox::critical(parent_, QApplication::applicationName(), text);
}

namespace {
void Prepare(QFileDialog& dialog, const Interaction::FileDialogOptions& o) {
    dialog.setWindowTitle(o.title);
    if (!o.filter.isEmpty()) dialog.setNameFilter(QtFilterFromPairs(o.filter));
    if (!o.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(o.defaultSuffix);
    if (!o.proposedName.isEmpty()) dialog.selectFile(o.proposedName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !o.overwritePrompt);
}
} // namespace

std::optional<QString> QtInteraction::SaveFileName(const FileDialogOptions& options) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    Prepare(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtInteraction::OpenFileName(const FileDialogOptions& options) {
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(options.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    Prepare(dialog, options);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtInteraction::InputQuery(const QString& caption, const QString& prompt,
                                                 const QString& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, caption, prompt, QLineEdit::Normal, value, &ok);
    if (!ok) return std::nullopt;
    return text;
}

bool QtInteraction::PrintDialog(QPrinter& printer) {
    QPrintDialog dialog(&printer, parent_);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> QtInteraction::SelectPort(const QStringList& names) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(QStringLiteral("Select Port"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("The configured serial port is not valid."), &dialog));
    layout->addWidget(new QLabel(QStringLiteral("Please choose another port."), &dialog));
    auto* combo = new QComboBox(&dialog);
    combo->setObjectName(QStringLiteral("PortsComboBox"));
    combo->addItems(names);
    layout->addWidget(combo);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || combo->currentIndex() < 0) return std::nullopt;
    return combo->currentIndex();
}
