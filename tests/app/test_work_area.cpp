// The work area's files and the download's bookkeeping, against a test-played logger.
#include "support/LinkedForm.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string ReadAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    const QByteArray b = f.readAll();
    return std::string(b.constData(), size_t(b.size()));
}

void WriteAll(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), qint64(bytes.size()));
}

struct WorkArea : LinkedForm, ::testing::Test {
    QTemporaryDir dir;
    QString Path(const char* name) const { return dir.path() + "/" + name; }
};

TEST_F(WorkArea, SaveNamesTheFileAfterTheLoggerAndAddsCsvWhenTheNameHasNoDot) {
    form->Label18->setText("07");
    form->Memo1->SetLines({"a", std::string("\x81" "b", 2)});
    struct Case {
        QString chosen, written;
    } cases[] = {{Path("data"), Path("data.csv")},
                 {Path("data.txt"), Path("data.txt")},
                 {Path("a.b"), Path("a.b")}};
    QDir(dir.path()).mkdir("d.ir");
    const QString inDottedFolder = Path("d.ir") + "/name";
    for (const auto& c : cases) {
        ui.saveAnswers.push_back(c.chosen);
        form->Button6Click();
        EXPECT_EQ(ReadAll(c.written), std::string("a\r\n\x81" "b\r\n", 7)) << c.written.toStdString();
    }
    ui.saveAnswers.push_back(inDottedFolder);
    form->Button6Click();
    EXPECT_EQ(ReadAll(inDottedFolder + ".csv"), std::string("a\r\n\x81" "b\r\n", 7));
    const auto& shown = ui.shown.back();
    EXPECT_EQ(shown.kind, "save");
    EXPECT_EQ(shown.text, "VEXA07");
    EXPECT_EQ(shown.file.filter, "CSV files (*.csv)|*.CSV");
    EXPECT_TRUE(shown.file.overwritePrompt);
    EXPECT_TRUE(shown.file.defaultSuffix.isEmpty());
}

TEST_F(WorkArea, EmptyWorkAreaSavesAnEmptyFileAndCancelWritesNothing) {
    form->Memo1->Clear();
    ui.saveAnswers.push_back(Path("empty.csv"));
    form->Button6Click();
    EXPECT_EQ(ReadAll(Path("empty.csv")), "");
    ui.saveAnswers.push_back(std::nullopt);
    form->Button6Click();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST_F(WorkArea, LoadAcceptsAnyLineEndAndKeepsTheBytes) {
    WriteAll(Path("lf.csv"), "x\ny\n");
    WriteAll(Path("crlf.csv"), "x\r\ny\r\n");
    WriteAll(Path("mark.csv"), std::string("\x81" "2024\r\n//\x81\xab" "I\r\n", 14));
    ui.openAnswers.push_back(Path("lf.csv"));
    form->Button11Click();
    const auto lf = form->Memo1->Lines();
    ui.openAnswers.push_back(Path("crlf.csv"));
    form->Button11Click();
    EXPECT_EQ(form->Memo1->Lines(), lf);
    EXPECT_EQ(lf, (std::vector<std::string>{"x", "y"}));
    ui.openAnswers.push_back(Path("mark.csv"));
    form->Button11Click();
    ui.saveAnswers.push_back(Path("again.csv"));
    form->Button6Click();
    EXPECT_EQ(ReadAll(Path("again.csv")), ReadAll(Path("mark.csv")));
    const auto& open = ui.shown[ui.shown.size() - 2];
    EXPECT_EQ(open.kind, "open");
    EXPECT_EQ(open.file.filter, "text|*.csv");
    EXPECT_EQ(open.file.defaultSuffix, "csv");
    EXPECT_TRUE(open.file.fileMustExist);
}

TEST_F(WorkArea, CancelledLoadKeepsTheLinesAndTakesTheDialogsLastName) {
    form->Memo1->SetLines({"keep"});
    ui.openAnswers.push_back(std::nullopt);
    form->Button11Click();
    EXPECT_EQ(form->Memo1->Lines(), std::vector<std::string>{"keep"});
    EXPECT_EQ(form->DataFileName, "");
    WriteAll(Path("one.csv"), "1\r\n");
    ui.openAnswers.push_back(Path("one.csv"));
    form->Button11Click();
    form->DataFileName = "changed";
    ui.openAnswers.push_back(std::nullopt);
    form->Button11Click();
    EXPECT_EQ(form->Memo1->Lines(), std::vector<std::string>{"1"});
    EXPECT_EQ(form->DataFileName, Path("one.csv").toStdString());
}

TEST_F(WorkArea, UnreadableFileRaisesAndLeavesTheWorkArea) {
    form->Memo1->SetLines({"keep"});
    ui.openAnswers.push_back(Path("missing.csv"));
    EXPECT_THROW(form->Button11Click(), std::exception);
    EXPECT_EQ(form->Memo1->Lines(), std::vector<std::string>{"keep"});
    ui.saveAnswers.push_back(Path("no/such/folder/x.csv"));
    EXPECT_THROW(form->Button6Click(), std::exception);
}

TEST_F(WorkArea, SettingsFileProposesTheIdAndKeepsTheLastFilter) {
    form->Label18->setText("07");
    form->Memo1->SetLines({"@B=1"});
    ui.saveAnswers.push_back(Path("Config"));
    form->Button27Click();
    EXPECT_EQ(ui.shown.back().text, "Config-vexa07.txt");
    EXPECT_TRUE(ui.shown.back().file.filter.isEmpty());
    EXPECT_EQ(ReadAll(Path("Config")), "@B=1\r\n");  // no extension added
    ui.saveAnswers.push_back(std::nullopt);
    form->Button6Click();
    ui.saveAnswers.push_back(std::nullopt);
    form->Button27Click();
    EXPECT_EQ(ui.shown.back().file.filter, "CSV files (*.csv)|*.CSV");
}

struct Downloads : LinkedForm, ::testing::Test {
    void SetUp() override { ASSERT_TRUE(Link()); }
    bool Finish(const std::string& answer) {
        peer.Write(answer);
        return PumpUntil([&] { return form->State.DownloadActive == 0 && !form->ApdComPort1.Open(); }, 10000);
    }
};

TEST_F(Downloads, HeaderCarriesTheStartYearAndCountsPerG) {
    form->State.CountsPerG = 5;
    form->Label15->setText("2023");
    peer.Clear();
    form->Button30Click();
    ASSERT_TRUE(peer.WaitForSent("D"));
    EXPECT_EQ(form->Memo1->Line(0), "Start Year=2023 @1G=5");
    EXPECT_EQ(form->Memo1->Line(1), "date time,x(G),y(G),z(G),temperature(C)");
    EXPECT_EQ(form->Timer1->Interval(), 0);
    EXPECT_EQ(form->height(), form->ProgressBar1->mapTo(form.get(), QPoint(0, 0)).y() + 45);
    ASSERT_TRUE(Finish("@C= 1 32000\r\n104C8B8500FF0A194B00\r\n#"));
    EXPECT_EQ(form->Memo1->Count(), 3);
    EXPECT_EQ(form->Memo1->Line(2), "2023/01/02 12:34:56.750,  0, -1, 10, 25.5");
    EXPECT_EQ(form->Label24->text(), "2023/01/02 12:34:56.750,  0, -1, 10, 25.5");
    EXPECT_EQ(form->Label33->text(), "1rec 0sec");
    EXPECT_EQ(form->Timer1->Interval(), 1000);
}

TEST_F(Downloads, GuardAndRequestsOfTheFourButtons) {
    struct Case {
        void (TForm1::*click)();
        const char* request;
        const char* column;
        bool withRange;
    } cases[] = {{&TForm1::Button30Click, "D", "date time,x(G),y(G),z(G),temperature(C)", true},
                 {&TForm1::Button47Click, "C", "date time,x(G),y(G),z(G),temperature(C)", true},
                 {&TForm1::Button3Click, "G", "date time,x(G),y(G),z(G),temperature(C)", false},
                 {&TForm1::Button28Click, "G", "Date,Xaxis,Yaxis,Zaxis,Temp", false}};
    for (const auto& c : cases) {
        form->State.CommandsEnabled = 0;
        peer.Clear();
        (form.get()->*c.click)();
        PumpFor(20);
        EXPECT_EQ(peer.Take(), "") << c.request;
        EXPECT_EQ(form->State.DownloadActive, 0);
        form->State.CommandsEnabled = 1;
        (form.get()->*c.click)();
        ASSERT_TRUE(peer.WaitForSent(c.request)) << c.request;
        EXPECT_EQ(form->Memo1->Line(0).find(" @1G=") != std::string::npos, c.withRange) << c.request;
        EXPECT_EQ(form->Memo1->Line(1), c.column);
        ASSERT_TRUE(Finish("@C= 0 32000\r\n#"));
        EXPECT_EQ(form->Memo1->Count(), 2);
    }
}

TEST_F(Downloads, RecordsBeyondTheTableAreCountedNotStored) {
    form->Button30Click();
    ASSERT_TRUE(peer.WaitForSent("D"));
    std::string burst;
    for (int i = 0; i < 200; ++i) burst += "104C8B8500FF0A194B00\r\n";
    const int total = vexa::session::kTableEntries + 5;
    for (int sent = 0; sent < total; sent += 200) {
        const int n = std::min(200, total - sent);
        peer.Write(n == 200 ? burst : burst.substr(0, size_t(n) * 22));
        PumpFor(0);
    }
    ASSERT_TRUE(Finish("#"));
    EXPECT_EQ(form->State.LineCount, vexa::session::kTableEntries);
    // The same record over and over: every one after the first is marked and has its comment line.
    EXPECT_EQ(form->Memo1->Count(), 2 + vexa::session::kTableEntries + (vexa::session::kTableEntries - 1));
    EXPECT_TRUE(form->Label33->text().contains("5 records beyond the table dropped"))
        << form->Label33->text().toStdString();
}

} // namespace
