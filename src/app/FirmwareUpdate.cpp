// The window's side of the firmware update: "Start", "Update", "HEX…", and what the exchange reports.
#include "app/FirmwareImage.h"
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/IntelHex.h"
#include "session/FirmwareExchange.h"

#include <QFileInfo>

namespace {
const QString kCaption = QStringLiteral("Firmware update");
} // namespace

// Renders the update's reports into the controls; the exchange itself never names one.
class FirmwareView final : public vexa::session::FirmwareObserver {
  public:
    explicit FirmwareView(TForm1& form) : f(form) {}

    void FirmwareSend(std::string_view bytes) override { f.ApdComPort1.PutString(std::string(bytes)); }
    void FirmwareProgressStart(int lineCount) override {
        f.ProgressBar1->setRange(0, lineCount);
        f.ProgressBar1->setValue(0);
        f.ProgressBar1->show();
    }
    void FirmwareLine(int position, const std::string& shown) override {
        f.ProgressBar1->setValue(position);
        f.Edit12->setText(AnsiToQString(shown));
    }
    void FirmwareSendingDone() override {
        f.ProgressBar1->hide();
        f.Memo1->Clear();
    }
    void FirmwareRestoreTimer(int interval) override { f.Timer1->SetInterval(interval); }
    void FirmwareStatus(const std::string& text) override {
        f.Label33->setText(QString::fromStdString(text));
    }
    void FirmwareEnded(const vexa::session::FirmwareResult& result) override {
        f.ProgressBar1->hide();
        // The image in the work area has been used up (or is stale after a failure): "Start" prepares the
        // next.
        f.Button39->hide();
        if (result.failed()) {
            // The logger is in its boot loader or gone: drop the link, so discovery connects again.
            f.FirmwareLinkLost();
        }
        f.UI().MessageBox(QString::fromStdString(result.message), kCaption,
                          result.outcome == vexa::session::FirmwareOutcome::Completed
                              ? Interaction::Icon::Information
                              : Interaction::Icon::Warning);
    }

  private:
    TForm1& f;
};

void TForm1::SetUpFirmwareUpdate() {
    firmwareView_ = std::make_unique<FirmwareView>(*this);
    Firmware = std::make_unique<vexa::session::FirmwareExchange>(*firmwareView_);
    LoggerSession().SetFirmwareMode(Firmware.get());
    standInImage_ = StandInImage();
    Memo2->SetLines(standInImage_);
    Label42->setText(QStringLiteral("stand-in, %1 lines").arg(Memo2->Count()));
    Label42->setToolTip(QStringLiteral("Built-in test image for the simulated logger"));
    connect(Button37, &QPushButton::clicked, this, [this] { Button37Click(); });
    connect(Button39, &QPushButton::clicked, this, [this] { Button39Click(); });
    connect(Button57, &QPushButton::clicked, this, [this] { Button57Click(); });
}

void TForm1::FirmwareLinkLost() {
    ShowLinkDown();
    ApdComPort1.SetOpen(false);
    State.LinkUp = 0;
    State.CommandsEnabled = 0;
    State.AutoConnectDone = 0;
}

void TForm1::Button37Click() {
    if (State.CommandsEnabled != 1) return;
    // The entry sequence in the middle of a running update would reach the boot loader as image data.
    if (Firmware->Active()) return;
    // An answer still awaited must not be read as the boot loader's, nor its queue follow the entry.
    session_.EndPendingExchange();
    Memo1->Clear();
    if (!ApdComPort1.Open()) ApdComPort1.SetOpen(true);
    // The boot loader's entry sequence; the logger does not answer it, so no answer is awaited.
    ApdComPort1.PutString(std::string("\x03\x06\x03\x06\x03", 5));
    Memo1->SetLines(Memo2->Lines());
    Button39->show();
}

void TForm1::Button39Click() {
    // The waits below no longer hold the window, so a second click must not start a second update.
    if (Firmware->Active()) return;
    // No question about an image is worth asking when nobody is there to take it.
    if (!LoggerReady()) return;
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
    session_.EndPendingExchange();
    const int saved = Timer1->Interval();
    Timer1->SetInterval(0);
    if (!ApdComPort1.Open()) ApdComPort1.SetOpen(true);
    Firmware->Begin(vexa::ImageLinesForUpdate(lines), saved, vexa::session::Clock::now());
}

void TForm1::Button57Click() {
    Interaction::FileDialogOptions o;
    o.title = QStringLiteral("Firmware image");
    o.filter = QStringLiteral("Intel HEX (*.hex)|*.hex;*.HEX|All files (*.*)|*");
    o.fileMustExist = true;
    const std::optional<QString> path = UI().OpenFileName(o);
    if (!path) return;
    if (Firmware->Active()) {
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
