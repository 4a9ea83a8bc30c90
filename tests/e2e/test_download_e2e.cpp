// End to end: downloading the simulated logger's records, saving them as CSV and loading them back.
#include "protocol/TextLines.h"
#include "sim/RecordEncoder.h"
#include "support/DownloadOracle.h"
#include "support/SimHarness.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace {

std::string ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<unreadable>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), size_t(b.size()));
}

struct DownloadE2E : ::testing::Test {
    vexa::sim::SimConfig config;
    std::unique_ptr<SimHarness> h;
    TForm1* f = nullptr;

    void Start() {
        h = std::make_unique<SimHarness>(config);
        f = &h->Open();
        ASSERT_TRUE(h->WaitLinkedAndIdle(5000));
        f->Timer1->SetInterval(0);  // ticks play no part here
    }
    bool WaitDownloadEnd(int timeoutMs) {
        return PumpUntil(
            [&] {
                return f->LoggerSession().CurrentPhase() != vexa::session::Phase::Download &&
                       !f->ApdComPort1.Open();
            },
            timeoutMs);
    }
};

TEST_F(DownloadE2E, FiveThousandRecordsWithAnIrregularOneAndANewYear) {
    config.recordCount = 5000;
    config.start = "2023/06/01 00:00:00";
    config.yearRollover = true;
    config.irregular = {1234};
    config.settings.intervalCode = 'a';
    config.settings.countsCode = "20";
    Start();
    const auto records = vexa::sim::GenerateRecords(config);
    ASSERT_EQ(records.size(), 5000u);
    ASSERT_NE(records.front().year, records.back().year);

    const int heightBefore = f->height();
    f->Button30Click();
    EXPECT_TRUE(f->Memo1->isHidden());
    EXPECT_FALSE(f->ProgressBar1->isHidden());
    EXPECT_LT(f->height(), heightBefore);
    ASSERT_TRUE(WaitDownloadEnd(20000));

    const std::vector<std::string> expected = oracle::ExpectedDownload(config, 5);
    const auto& lines = f->Memo1->Lines();
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(lines[i], expected[i]) << "line " << i;

    EXPECT_EQ(f->State.LineCount, 5000);
    EXPECT_EQ(f->Label33->text().section(' ', 0, 0), "5000rec");
    EXPECT_EQ(h->ui.Texts("message"), QStringList{"時間不整合"});
    EXPECT_FALSE(f->Memo1->isHidden());
    EXPECT_TRUE(f->ProgressBar1->isHidden());
    EXPECT_EQ(f->height(), heightBefore);
    EXPECT_EQ(f->DataFileName, "20" + f->Label18->text().toStdString());

    // "保存": the proposed name carries the logger ID, ".csv" is added, the bytes are exact.
    const QString base = h->dir.path() + "/data";
    h->ui.saveAnswers.push_back(base);
    f->Button6Click();
    ASSERT_EQ(h->ui.shown.back().kind, "save");
    EXPECT_EQ(h->ui.shown.back().text, "VEXA" + f->Label18->text());
    const std::string saved = ReadFile(base + ".csv");
    EXPECT_TRUE(saved == vexa::JoinLinesCrLf(expected)) << "saved file differs";

    // "FILE": loading it back gives the same lines; saving again gives the same bytes.
    f->Memo1->Clear();
    h->ui.openAnswers.push_back(base + ".csv");
    f->Button11Click();
    EXPECT_TRUE(f->Memo1->Lines() == expected);
    EXPECT_EQ(f->DataFileName, (base + ".csv").toStdString());
    h->ui.saveAnswers.push_back(base + "2.csv");
    f->Button6Click();
    EXPECT_TRUE(ReadFile(base + "2.csv") == saved);
}

TEST_F(DownloadE2E, SecondDownloadInTheSameRunPrintsTheSameYears) {
    config.recordCount = 300;
    config.start = "2024/11/30 23:00:00";
    config.settings.intervalCode = 'E';  // 5 min: the records run into December
    Start();
    f->Button30Click();
    ASSERT_TRUE(WaitDownloadEnd(10000));
    const auto first = f->Memo1->Lines();
    f->Button30Click();
    ASSERT_TRUE(WaitDownloadEnd(10000));
    EXPECT_TRUE(f->Memo1->Lines() == first);
}

TEST_F(DownloadE2E, AnnouncedCountLargerThanTheRecordsSentIsReported) {
    config.recordCount = 50;
    config.faults.extraCount = 3;
    Start();
    f->Button47Click();
    ASSERT_TRUE(WaitDownloadEnd(10000));
    EXPECT_EQ(f->State.LineCount, 50);
    EXPECT_EQ(f->Memo1->Count(), 52);
    EXPECT_TRUE(f->Label33->text().contains("announced 53")) << f->Label33->text().toStdString();
}

TEST_F(DownloadE2E, HangUpMidTransferEndsWithAClearMessageAndShowsWhatArrived) {
    config.recordCount = 2000;
    Start();
    f->LoggerSession().SetExchangeTimeout(std::chrono::milliseconds(500));
    auto faults = h->sim->faults();
    faults.hangupAfterBytes = 10000;  // counted from the start: cuts the record lines a few hundred in
    h->sim->setFaults(faults);
    f->Button30Click();
    ASSERT_TRUE(WaitDownloadEnd(10000));
    EXPECT_FALSE(f->Memo1->isHidden());
    EXPECT_TRUE(f->ProgressBar1->isHidden());
    EXPECT_GT(f->State.LineCount, 0);
    EXPECT_LT(f->State.LineCount, 2000);
    EXPECT_EQ(f->Memo1->Count(), f->State.LineCount + 2);
    EXPECT_TRUE(f->Label33->text().contains("incomplete")) << f->Label33->text().toStdString();
    EXPECT_EQ(f->Timer1->Interval(), 1000);
}

TEST_F(DownloadE2E, StarDownloadKeepsTheHeightAndWritesItsOwnColumnLine) {
    config.recordCount = 10;
    Start();
    const int heightBefore = f->height();
    f->Button28Click();
    EXPECT_EQ(f->height(), heightBefore);
    ASSERT_TRUE(WaitDownloadEnd(10000));
    EXPECT_EQ(f->height(), heightBefore);
    ASSERT_GE(f->Memo1->Count(), 2);
    EXPECT_EQ(f->Memo1->Line(0), "Start Year=" + f->Label15->text().toStdString());
    EXPECT_EQ(f->Memo1->Line(1), "Date,Xaxis,Yaxis,Zaxis,Temp");
}

} // namespace
