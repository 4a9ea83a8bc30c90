// Recorded-data download: the four request buttons; the session stores and decodes what arrives.
#include "app/TForm1.h"

#include "platform/TextCodec.h"
#include "recording/Recording.h"

using vexa::kNamedColumnLine;
using vexa::kShortColumnLine;

void TForm1::StartDownload(const char* request, const std::string& header1, std::string_view header2,
                           int heightDuring, bool setDataFileName) {
    // The session sends the request (or refuses it and says why); the window then takes its transfer
    // look, before any answer can arrive.
    if (!session_.RequestDownload(request, QStringToAnsi(Label15->text()), vexa::session::Clock::now()))
        return;
    Timer1->SetInterval(0);
    Memo1->Clear();
    Memo1->hide();
    // Every download saves the height it restores at the end, also the one that keeps the height.
    SavedFormHeight = height();
    if (heightDuring > 0) resize(width(), heightDuring);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    // Every download reports the time since its own start.
    DownloadStartTime = Now();
    Memo1->Add(header1);
    Memo1->Add(std::string(header2));
    if (setDataFileName) DataFileName = QStringToAnsi(ComboBox5->currentText() + Label18->text());
}

std::string TForm1::StartYearLine(bool withCountsPerG) const {
    return vexa::DownloadStartLine(QStringToAnsi(Label15->text()),
                                   withCountsPerG ? std::optional<int>(State.CountsPerG) : std::nullopt);
}

void TForm1::Button30Click() {
    const int top = ProgressBar1->mapTo(this, QPoint(0, 0)).y();
    StartDownload("D", StartYearLine(true), kNamedColumnLine, top + 45, true);
}

void TForm1::Button47Click() {
    StartDownload("C", StartYearLine(true), kNamedColumnLine, 160, true);
}

void TForm1::Button3Click() {
    StartDownload("G", StartYearLine(false), kNamedColumnLine, 160, false);
}

void TForm1::Button28Click() {
    StartDownload("G", StartYearLine(false), kShortColumnLine, 0, false);
}
