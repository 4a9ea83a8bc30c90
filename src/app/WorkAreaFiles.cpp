// The work area's files: save as CSV ("保存"), load a CSV file ("FILE"), save as a settings file ("SAV").
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/RegularFile.h"
#include "platform/TextCodec.h"
#include "protocol/TextLines.h"
#include "recording/RecordingFile.h"

#include <QSaveFile>
#include <stdexcept>

namespace {
std::runtime_error FileError(const char* what, const QString& path, const QString& reason) {
    return std::runtime_error(
        QStringLiteral("%1 \"%2\": %3").arg(QLatin1String(what), path, reason).toStdString());
}
} // namespace

void TForm1::SaveWorkArea(const QString& path) {
    // Replacing a device or a FIFO (a link to /dev/null, say) with a file would break the system and
    // still report success, so only a file, or a name with nothing behind it, is written.
    vexa::CheckReplaceableFile(path.toStdString());
    // Written to a temporary file and renamed into place, so a failed write leaves an existing file
    // as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw FileError("Cannot create file", path, file.errorString());
    const std::string_view content = Memo1->Recording().FileText();
    if (file.write(content.data(), qint64(content.size())) != qint64(content.size()))
        throw FileError("Cannot write file", path, file.errorString());
    if (!file.commit()) throw FileError("Cannot write file", path, file.errorString());
}

void TForm1::Button6Click() {
    Interaction::FileDialogOptions o;
    o.overwritePrompt = true;
    o.proposedName = QStringLiteral("VEXA") + Label18->text();
    SaveDialogFilter = QStringLiteral("CSV files (*.csv)|*.CSV");
    o.filter = SaveDialogFilter;
    const auto chosen = UI().SaveFileName(o);
    if (!chosen) return;
    const QString path = QString::fromStdString(vexa::WithCsvExtension(chosen->toStdString()));
    SaveWorkArea(path);
}

void TForm1::Button11Click() {
    // While an update or a capture owns the work area a file does not replace it.
    if (!session_.ClaimWorkArea()) return;
    Interaction::FileDialogOptions o;
    o.defaultSuffix = QStringLiteral("csv");
    o.filter = QStringLiteral("text|*.csv");
    o.fileMustExist = true;
    o.proposedName = OpenDialogFileName;
    const auto chosen = UI().OpenFileName(o);
    if (chosen) {
        OpenDialogFileName = *chosen;
        // Data file name follows the dialog even if reading fails below.
        DataFileName = QStringToAnsi(OpenDialogFileName);
        // Only a regular file of a sensible size is read; anything else is refused with the reason.
        const std::string bytes = vexa::ReadRegularFile(chosen->toStdString());
        // The file is read: the lines it replaces give their memory to its lines (reading the bytes
        // into a recording does not fail).
        Memo1->Clear();
        Memo1->SetRecording(vexa::ReadRecording(bytes));
    }
    DataFileName = QStringToAnsi(OpenDialogFileName);
}

void TForm1::Button27Click() {
    Interaction::FileDialogOptions o;
    o.overwritePrompt = true;
    o.filter = SaveDialogFilter;  // as the last "保存" left it
    o.proposedName = QStringLiteral("Config-vexa") + Label18->text() + QStringLiteral(".txt");
    const auto chosen = UI().SaveFileName(o);
    if (!chosen) return;
    SaveWorkArea(*chosen);
}
