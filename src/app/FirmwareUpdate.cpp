// The window's side of the firmware update: "Start", "Update", "HEX…", and what the update reports.
#include "app/FirmwareImage.h"
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/IntelHex.h"
#include "session/FirmwareExchange.h"

#include <QFileInfo>

namespace {
const QString kCaption = QStringLiteral("Firmware update");
using vexa::session::Clock;
} // namespace

void TForm1::SetUpFirmwareUpdate() {
    standInImage_ = StandInImage();
    Memo2->SetLines(standInImage_);
    Label42->setText(QStringLiteral("stand-in, %1 lines").arg(Memo2->Count()));
    Label42->setToolTip(QStringLiteral("Built-in test image for the simulated logger"));
    connect(Button37, &QPushButton::clicked, this, [this] { Button37Click(); });
    connect(Button39, &QPushButton::clicked, this, [this] { Button39Click(); });
    connect(Button57, &QPushButton::clicked, this, [this] { Button57Click(); });
}

void TForm1::FirmwareProgressStart(int lineCount) {
    ProgressBar1->setRange(0, lineCount);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
}

void TForm1::FirmwareLine(int position, const std::string& shown) {
    ProgressBar1->setValue(position);
    Edit12->setText(AnsiToQString(shown));
}

void TForm1::FirmwareSendingDone() {
    ProgressBar1->hide();
    Memo1->Clear();
}

void TForm1::FirmwareStatus(const std::string& text) {
    Label33->setText(QString::fromStdString(text));
}

void TForm1::FirmwareEnded(const vexa::session::FirmwareResult& result) {
    ProgressBar1->hide();
    // The image in the work area has been used up (or is stale after a failure): "Start" prepares the next.
    Button39->hide();
    UI().MessageBox(QString::fromStdString(result.message), kCaption,
                    result.outcome == vexa::session::FirmwareOutcome::Completed
                        ? Interaction::Icon::Information
                        : Interaction::Icon::Warning);
}

void TForm1::Button37Click() {
    // The boot loader's entry sequence; the session refuses it without a logger or while an update runs.
    if (!session_.RequestBootLoaderEntry(Clock::now())) return;
    Memo1->Clear();
    Memo1->SetLines(Memo2->Lines());
    Button39->show();
}

void TForm1::Button39Click() {
    // While an update or a capture owns the link, a second update (or anything) is not started.
    if (!session_.ClaimWorkArea()) return;
    // No question about an image is worth asking when nobody is there to take it.
    if (!session_.CommandsEnabled()) {
        RequestRefused(vexa::session::Refusal::NoLogger);
        return;
    }
    const std::vector<std::string> lines = Memo1->Lines();
    const vexa::HexImageCheck check = vexa::CheckHexImage(lines);
    if (!check.ok) {
        // Whatever replaced the image in the work area since "Start" must never reach the boot loader.
        UI().MessageBox(QStringLiteral("The work area does not hold a firmware image; press Start first.\n%1")
                            .arg(QString::fromStdString(vexa::DescribeHexFault(check))),
                        kCaption, Interaction::Icon::Warning);
        return;
    }
    if (lines == standInImage_ &&
        !UI().AskYesNo(QStringLiteral("This tool carries a test image made for the simulated logger, not the "
                                      "manufacturer's firmware. A real logger would not start with it.\n\n"
                                      "Send the test image?"),
                       kCaption))
        return;
    UI().ShowMessage(QStringLiteral("Do not Release or Power off until update completed"));
    session_.StartFirmwareUpdate(vexa::ImageLinesForUpdate(lines), Clock::now());
}

void TForm1::Button57Click() {
    Interaction::FileDialogOptions o;
    o.title = QStringLiteral("Firmware image");
    o.filter = QStringLiteral("Intel HEX (*.hex)|*.hex;*.HEX|All files (*.*)|*");
    o.fileMustExist = true;
    const std::optional<QString> path = UI().OpenFileName(o);
    if (!path) return;
    if (session_.Firmware().Active()) {
        UI().MessageBox(QStringLiteral("An update is running; the image cannot change now."), kCaption,
                        Interaction::Icon::Warning);
        return;
    }
    const FirmwareImageFile file = ReadFirmwareImage(*path);
    if (!file.ok) {
        UI().MessageBox(QStringLiteral("The file was not taken:\n%1").arg(file.error), kCaption,
                        Interaction::Icon::Warning);
        return;
    }
    Memo2->SetLines(file.lines);
    Label42->setText(QStringLiteral("%1, %2 lines").arg(QFileInfo(*path).fileName()).arg(file.fileLines));
    Label42->setToolTip(*path);
}
