// The work area's files and the download's bookkeeping, against a test-played logger.
#include "support/LinkedForm.h"
#include "support/SessionProbe.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <condition_variable>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/RegularFile.h"

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

// Something that is not a file must be refused before anything is read from it: a FIFO without a
// writer would block the window, a device would be read until the memory is gone.
TEST_F(WorkArea, LoadRefusesAnythingButARegularFileOfASensibleSize) {
    ASSERT_EQ(mkfifo(Path("fifo.csv").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/urandom", Path("random.csv")));
    QDir(dir.path()).mkdir("folder.csv");
    {
        QFile big(Path("big.csv"));  // sparse: takes no disk space
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(qint64(vexa::kMaxLoadBytes) + 1));
    }
    struct Case {
        QString path;
        std::string reason;
    } cases[] = {{Path("fifo.csv"), "FIFO"},
                 {"/dev/zero", "character device"},
                 {Path("random.csv"), "character device"},
                 {Path("folder.csv"), "folder"},
                 {Path("big.csv"), "files over 64.0 MB are not loaded"}};
    for (const auto& c : cases) {
        form->Memo1->SetLines({"keep"});
        ui.openAnswers.push_back(c.path);
        try {
            form->Button11Click();
            ADD_FAILURE() << "loaded " << c.path.toStdString();
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(form->Memo1->Lines(), std::vector<std::string>{"keep"}) << c.path.toStdString();
    }
}

// "HEX…" reads the firmware image by the same rule as "FILE". A FIFO is refused at once; the writer that
// would come much later (3 s) to hand over a valid image must find nobody reading.
TEST_F(WorkArea, ImageChooserRefusesAFifoOrADeviceAtOnce) {
    ASSERT_EQ(mkfifo(Path("fifo.hex").toLocal8Bit().constData(), 0600), 0);
    const std::vector<std::string> image = form->Memo2->Lines();
    std::mutex mutex;
    std::condition_variable answered;
    bool chooserReturned = false;
    std::thread lateWriter([&] {
        std::unique_lock lock(mutex);
        if (answered.wait_for(lock, std::chrono::seconds(3), [&] { return chooserReturned; })) return;
        // Nobody reads when the chooser has not blocked on the FIFO: the open then fails at once.
        const int fd = ::open(Path("fifo.hex").toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0) return;
        const std::string valid = ":0400000001020304F2\r\n:00000001FF\r\n";
        [[maybe_unused]] const ssize_t n = ::write(fd, valid.data(), valid.size());
        ::close(fd);
    });
    const struct {
        QString path;
        const char* reason;
    } cases[] = {{Path("fifo.hex"), "FIFO"}, {"/dev/zero", "character device"}};
    for (const auto& c : cases) {
        ui.openAnswers.push_back(c.path);
        form->Button57Click();
        {
            std::lock_guard lock(mutex);
            chooserReturned = true;
        }
        answered.notify_all();
        const QStringList boxes = ui.Texts("box");
        ASSERT_FALSE(boxes.isEmpty()) << c.path.toStdString();
        EXPECT_TRUE(boxes.back().contains(c.reason)) << boxes.back().toStdString();
        EXPECT_EQ(form->Memo2->Lines(), image) << c.path.toStdString();
    }
    lateWriter.join();
}

TEST_F(WorkArea, SaveNeverReplacesADeviceOrAFifo) {
    ASSERT_TRUE(QFile::link("/dev/null", Path("null.csv")));
    ASSERT_EQ(mkfifo(Path("fifo.csv").toLocal8Bit().constData(), 0600), 0);
    form->Memo1->SetLines({"a"});
    for (const QString& target : {Path("null.csv"), Path("fifo.csv")}) {
        ui.saveAnswers.push_back(target);
        EXPECT_THROW(form->Button6Click(), std::runtime_error) << target.toStdString();
    }
    struct stat st {};
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(lstat(Path("fifo.csv").toLocal8Bit().constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    // A link to a regular file is still saved through.
    WriteAll(Path("real.csv"), "old\r\n");
    ASSERT_TRUE(QFile::link(Path("real.csv"), Path("link.csv")));
    ui.saveAnswers.push_back(Path("link.csv"));
    form->Button6Click();
    EXPECT_EQ(ReadAll(Path("real.csv")), "a\r\n");
}

// A 5 MB single-line file: the line is kept whole for saving, while the view takes only its start,
// so showing it costs no more than a short line.
TEST_F(WorkArea, HugeLineStaysWholeWhileTheViewShowsItsStart) {
    const std::string line(5 * 1024 * 1024, '7');
    WriteAll(Path("one-line.csv"), line + "\r\nnext\r\n");
    form->Memo1->show();
    ui.openAnswers.push_back(Path("one-line.csv"));
    form->Button11Click();
    form->Memo1->SyncView();
    ASSERT_EQ(form->Memo1->Count(), 2);
    EXPECT_EQ(form->Memo1->Line(0), line);
    const QString shown = form->Memo1->toPlainText();
    EXPECT_LT(shown.size(), 3 * int(TMemo::kShownLineBytes));
    EXPECT_TRUE(shown.endsWith("\nnext"));
    ui.saveAnswers.push_back(Path("again.csv"));
    form->Button6Click();
    EXPECT_EQ(ReadAll(Path("again.csv")), ReadAll(Path("one-line.csv")));
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
        return PumpUntil(
            [&] {
                return form->LoggerSession().CurrentPhase() != vexa::session::Phase::Download &&
                       !form->ApdComPort1.Open();
            },
            10000);
    }
};

TEST_F(Downloads, HeaderCarriesTheStartYearAndCountsPerG) {
    vexa::session::SessionProbe::State(form->LoggerSession()).CountsPerG = 5;
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
        vexa::session::SessionProbe::State(form->LoggerSession()).CommandsEnabled = 0;
        peer.Clear();
        (form.get()->*c.click)();
        EXPECT_NE(form->LoggerSession().CurrentPhase(), vexa::session::Phase::Download);
        vexa::session::SessionProbe::State(form->LoggerSession()).CommandsEnabled = 1;
        (form.get()->*c.click)();
        // Exactly the request: nothing went out for the click without a logger before it.
        ASSERT_TRUE(peer.WaitForSent(c.request)) << c.request << ": " << peer.Received();
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
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(Finish("#"));
    EXPECT_EQ(form->State.LineCount, vexa::session::kTableEntries);
    // The same record over and over: every one after the first is marked and has its comment line.
    EXPECT_EQ(form->Memo1->Count(), 2 + vexa::session::kTableEntries + (vexa::session::kTableEntries - 1));
    EXPECT_TRUE(form->Label33->text().contains("5 records beyond the table dropped"))
        << form->Label33->text().toStdString();
}

} // namespace
