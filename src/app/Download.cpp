// Recorded-data download: the four request buttons, storing record lines, and the finish that decodes
// them into CSV lines in the work area.
#include "app/TForm1.h"

#include "platform/Interaction.h"
#include "platform/TextCodec.h"
#include "protocol/LineBuffer.h"

namespace {
const char* const kColumnLine = "date time,x(G),y(G),z(G),temperature(C)";
const char* const kStarColumnLine = "Date,Xaxis,Yaxis,Zaxis,Temp";

// Leading decimal digits of a text read as an integer ("20XX" gives 20, no digits give 0).
int LeadingNumber(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || value > 100000) break;
        value = value * 10 + (c - '0');
    }
    return value;
}
} // namespace

void TForm1::StartDownload(const char* request, const std::string& header1, const char* header2,
                           int heightDuring, bool setDataFileName) {
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
    Memo1->Add(header2);
    RxLineLen = 0;
    RxLine[0] = '\0';
    ApdComPort1.SetOpen(true);
    ApdComPort1.FlushInBuffer();
    Send(request);
    DownloadActive = 1;
    if (setDataFileName) DataFileName = QStringToAnsi(ComboBox5->currentText() + Label18->text());
    RecordCount = 0;
    AnnouncedCount = -1;
    DroppedRecords = 0;
}

std::string TForm1::StartYearLine(bool withCountsPerG) const {
    std::string line = "Start Year=" + QStringToAnsi(Label15->text());
    if (withCountsPerG) line += " @1G=" + std::to_string(CountsPerG);
    return line;
}

void TForm1::Button30Click() {
    if (CommandsEnabled != 1) return;
    const int top = ProgressBar1->mapTo(this, QPoint(0, 0)).y();
    StartDownload("D", StartYearLine(true), kColumnLine, top + 45, true);
}

void TForm1::Button47Click() {
    if (CommandsEnabled != 1) return;
    StartDownload("C", StartYearLine(true), kColumnLine, 160, true);
}

void TForm1::Button3Click() {
    if (CommandsEnabled != 1) return;
    StartDownload("G", StartYearLine(false), kColumnLine, 160, false);
}

void TForm1::Button28Click() {
    if (CommandsEnabled != 1) return;
    StartDownload("G", StartYearLine(false), kStarColumnLine, 0, false);
}

void TForm1::ApplyCountReply(const vexa::CountReply& r) {
    Label13->setText(AnsiToQString(r.label13));
    Label39->setText(AnsiToQString(r.label39));
    if (r.negative) UI().ShowMessage(QString::fromUtf8(vexa::BadCountMessage.data(),
                                                       qsizetype(vexa::BadCountMessage.size())));
    // During a download RecordCount is the next free table index: the announced count is kept apart.
    AnnouncedCount = r.recordCount;
    if (DownloadActive != 1) RecordCount = r.recordCount;
    ProgressBar1->setRange(0, r.recordCount);
    ProgressBar1->setValue(0);
}

void TForm1::StoreDownloadLine(std::string_view line) {
    if (RecordCount >= kTableEntries) {
        ++DroppedRecords;  // beyond the table: counted and reported, never written past it
        return;
    }
    DownloadLines[size_t(RecordCount)].assign(line);
    ++RecordCount;
    ProgressBar1->setValue(RecordCount);
}

void TForm1::FinishDownload(bool complete) {
    DownloadActive = 0;
    BaseYear = LeadingNumber(QStringToAnsi(Label15->text()));
    vexa::ResetDecoderForDownload(Decoder);
    Decoder.BaseYear = BaseYear;
    Decoder.ExtraDigitMode = ExtraDigitMode;

    static const std::string irregularComment = Utf8ToAnsi("//↓Irregular Record //");
    std::vector<std::string> out;
    out.reserve(size_t(RecordCount) + 16);
    vexa::LineBuffer buffer;
    for (int k = 0; k < RecordCount; ++k) {
        buffer.assign(DownloadLines[size_t(k)]);
        const vexa::DecodeOutcome outcome = vexa::DecodeNextRecord(Decoder, buffer);
        // The comment stands before the record whose own time did not advance (the marked one).
        if (outcome.markedThis) out.push_back(irregularComment);
        out.emplace_back(buffer.view());
        const int p = RecordCount + 2 - k;
        if (p % 100 == 0 || p == 0) ProgressBar1->setValue(p);
    }
    Memo1->AddLines(out);
    BaseYear = Decoder.BaseYear;
    if (RecordCount > 0) {
        const std::string_view last = buffer.view();
        const size_t n = std::min(last.size(), size_t(kRxLineCapacity));
        std::copy_n(last.begin(), n, RxLine.begin());
        RxLine[n] = '\0';
    }
    LineCount = RecordCount;
    IrregularFound = Decoder.IrregularFound ? 1 : 0;
    if (IrregularFound) UI().ShowMessage(QStringLiteral("時間不整合"));

    ProgressBar1->hide();
    const qint64 ms = DownloadStartTime.isValid() ? DownloadStartTime.msecsTo(Now()) : 0;
    const qint64 totalSeconds = ms / 1000;
    const int minutesAndSeconds = int((totalSeconds / 60) % 60 * 60 + totalSeconds % 60);
    QString status = QStringLiteral("%1rec %2sec").arg(LineCount).arg(minutesAndSeconds);
    if (AnnouncedCount >= 0 && AnnouncedCount != RecordCount + DroppedRecords)
        status += QStringLiteral(" (the logger announced %1 records)").arg(AnnouncedCount);
    if (DroppedRecords > 0) status += QStringLiteral(" (%1 records beyond the table dropped)").arg(DroppedRecords);
    if (!complete) status += QStringLiteral(" - download incomplete: the logger stopped sending");
    Label33->setText(status);
    resize(width(), SavedFormHeight);
    Memo1->show();
}
