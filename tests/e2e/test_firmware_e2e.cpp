// The firmware update against the simulated logger's boot loader: the bytes on the wire, the logger's
// error reports, the finish, the guards, a silent boot loader, and choosing an image file.
#include "protocol/StandInImage.h"
#include "session/FirmwareExchange.h"
#include "support/SessionProbe.h"
#include "support/SimHarness.h"
#include "support/SmallHexImage.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using Entries = std::vector<std::string>;

// Generous: the whole stand-in image under the sanitizers on a busy machine.
constexpr int kUpdateMs = 180000;

struct Linked {
    std::unique_ptr<SimHarness> h;
    TForm1* f = nullptr;
    explicit Linked(vexa::sim::SimConfig config = {}) {
        h = std::make_unique<SimHarness>(config);
        f = &h->Open();
        EXPECT_TRUE(h->WaitLinkedAndIdle());
        f->Timer1->SetInterval(0);
    }
    // "Start", then waits until the logger sits in its boot loader.
    void Start() {
        f->Button37Click();
        ASSERT_TRUE(PumpUntil([&] { return h->sim->inBootLoader(); }, 5000));
    }
    // "Update", then waits until the update has ended one way or another.
    void Update() {
        f->Button39Click();
        ASSERT_TRUE(f->Firmware->Active());
        ASSERT_TRUE(PumpUntil([&] { return !f->Firmware->Active(); }, kUpdateMs));
    }
    QStringList Boxes() const { return h->ui.Texts("box"); }
    // The log from the boot loader's "e" on, once it holds `count` entries (the last bytes the window
    // sent may still be on their way when the update has ended).
    Entries FromBootE(size_t count) const {
        Entries wire;
        PumpUntil(
            [&] {
                const Entries log = h->Log();
                wire.assign(std::find(log.begin(), log.end(), "boot e"), log.end());
                return wire.size() >= count;
            },
            5000);
        return wire;
    }
    // Chooses an image file through "HEX…".
    void Choose(const QString& path) {
        h->ui.openAnswers.push_back(path);
        f->Button57Click();
    }
    QString WriteFile(const QString& name, const std::string& content) const {
        const QString path = h->dir.path() + "/" + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content.data(), qint64(content.size()));
        return path;
    }
};

TEST(FirmwareUpdate, StartThenUpdateSendsTheImageLineByLineAndLeavesTheBootLoader) {
    Linked l;
    TForm1& f = *l.f;
    const std::vector<std::string> image = vexa::StandInImageLines();
    ASSERT_EQ(f.Memo2->Lines(), image) << "the window carries the stand-in image";
    EXPECT_TRUE(f.Button39->isHidden());
    f.Timer1->SetInterval(1000);
    l.Start();
    EXPECT_EQ(f.Memo1->Lines(), image);
    EXPECT_FALSE(f.Button39->isHidden());
    EXPECT_EQ(l.h->Log().back(), "\\x03\\x06\\x03\\x06\\x03");

    l.h->ui.yesNoAnswers = {true};
    l.Update();
    EXPECT_EQ(l.h->ui.Texts("question").size(), 1);
    EXPECT_EQ(l.h->ui.Texts("message"), QStringList{"Do not Release or Power off until update completed"});
    ASSERT_EQ(l.Boxes(), QStringList{"Update completed: 7526 lines sent."});

    // On the wire: "e", lines 0..7525 exactly as the image holds them, "qs", then "m" after the "M".
    const Entries wire = l.FromBootE(1 + 7526 + 2);
    ASSERT_GE(wire.size(), 1u + 7526u + 2u);
    for (int i = 0; i < 7526; ++i)
        ASSERT_EQ(wire[size_t(i) + 1], "boot line " + std::to_string(i) + ": " + image[size_t(i)]) << i;
    EXPECT_EQ(wire[7527], "boot qs");
    EXPECT_EQ(wire[7528], "m");
    EXPECT_FALSE(l.h->sim->inBootLoader());

    EXPECT_EQ(f.Timer1->Interval(), 1000);
    EXPECT_EQ(f.Firmware->updateActive(), 0);
    EXPECT_TRUE(f.ProgressBar1->isHidden());
    // The image in the work area is used up; the logger's answer to the "m" may already stand there.
    for (const std::string& line : f.Memo1->Lines())
        EXPECT_EQ(std::find(image.begin(), image.end(), line), image.end()) << line;
    EXPECT_TRUE(f.Button39->isHidden());
}

TEST(FirmwareUpdate, ErrorReportsComeAsOneMessageAndMWithMoreBytesIsNotTheEnd) {
    vexa::sim::SimConfig c;
    c.faults.bangLines = {5, 9};
    c.faults.bangRepeat = 2;
    c.faults.bootMThenMore = true;
    Linked l(c);
    TForm1& f = *l.f;
    l.Choose(l.WriteFile("small.hex", SmallImageFile(20)));
    ASSERT_EQ(f.Memo2->Count(), 23);
    l.Start();
    l.Update();
    EXPECT_TRUE(l.h->ui.Texts("question").isEmpty())
        << "a chosen image is sent without the test-image question";
    ASSERT_EQ(l.Boxes().size(), 1);
    EXPECT_TRUE(l.Boxes()[0].contains("err: the logger answered \"!\" 4 times, to lines 5, 5, 9, 9."))
        << l.Boxes()[0].toStdString();
    const Entries wire = l.FromBootE(25);
    EXPECT_EQ(std::count(wire.begin(), wire.end(), "boot line 6: " + std::string(f.Memo2->Line(6))), 1);
    // "M" with bytes after it came first; "m" went out only after the lone "M", when the boot loader had
    // been left, so the logger took it as the normal command.
    ASSERT_GE(wire.size(), 25u);
    EXPECT_EQ(wire[22], "boot line 21: ;small test image");
    EXPECT_EQ(wire[23], "boot qs");
    EXPECT_EQ(wire[24], "m");
}

TEST(FirmwareUpdate, NothingHappensWithoutALinkOrWithoutConsent) {
    Linked l;
    TForm1& f = *l.f;
    // "Start" while commands are not enabled changes nothing.
    vexa::session::SessionProbe::State(f.LoggerSession()).CommandsEnabled = 0;
    f.Memo1->SetLines({"kept"});
    const size_t before = l.h->Log().size();
    f.Button37Click();
    EXPECT_EQ(f.Memo1->Lines(), Entries{"kept"});
    EXPECT_TRUE(f.Button39->isHidden());
    vexa::session::SessionProbe::State(f.LoggerSession()).CommandsEnabled = 1;
    // The stand-in question answered No (the default): nothing is sent, no warning shown.
    l.Start();
    const size_t afterStart = l.h->Log().size();
    EXPECT_EQ(afterStart, before + 1);
    f.Button39Click();
    EXPECT_FALSE(f.Firmware->Active());
    EXPECT_EQ(l.h->ui.Texts("question").size(), 1);
    EXPECT_TRUE(l.h->ui.Texts("message").isEmpty());
    // What reaches the logger after these clicks: only what the test sends to prove it.
    f.ApdComPort1.PutString("qs");
    ASSERT_TRUE(PumpUntil([&] { return !l.h->sim->inBootLoader(); }, 5000));
    const Entries log = l.h->Log();
    EXPECT_EQ(Entries(log.begin() + long(afterStart), log.end()), Entries{"boot qs"});
    // A work area that no longer holds the image after "Start" is never sent.
    l.Start();
    f.Memo1->SetLines({"@A h 00000 00000 00000", ""});
    f.Button39Click();
    EXPECT_FALSE(f.Firmware->Active());
    EXPECT_TRUE(l.Boxes().last().contains("does not hold a firmware image"))
        << l.Boxes().last().toStdString();
    // "VER" takes the "Update" button away again.
    EXPECT_FALSE(f.Button39->isHidden());
    f.Button8Click();
    EXPECT_TRUE(f.Button39->isHidden());
}

TEST(FirmwareUpdate, ASilentBootLoaderEndsTheUpdateNamingTheLineAndTheToolConnectsAgain) {
    vexa::sim::SimConfig c;
    c.faults.bootSilentAt = 1000;
    Linked l(c);
    TForm1& f = *l.f;
    f.Timer1->SetInterval(1000);
    l.Start();
    l.h->ui.yesNoAnswers = {true};
    l.Update();
    ASSERT_EQ(l.Boxes().size(), 1);
    EXPECT_TRUE(l.Boxes()[0].contains("no acknowledgement of line 1000 of 7527"))
        << l.Boxes()[0].toStdString();
    EXPECT_TRUE(l.Boxes()[0].contains("last line acknowledged: 999")) << l.Boxes()[0].toStdString();
    EXPECT_TRUE(l.Boxes()[0].contains("needs a new update")) << l.Boxes()[0].toStdString();
    EXPECT_EQ(f.Firmware->updateActive(), 0);
    EXPECT_EQ(f.Timer1->Interval(), 1000);
    EXPECT_TRUE(f.ProgressBar1->isHidden());
    // Discovery finds the logger again and asks for contact; the boot loader does not know "m".
    const size_t before = l.h->Log().size();
    ASSERT_TRUE(PumpUntil(
        [&] {
            const Entries log = l.h->Log();
            return std::find(log.begin() + long(before), log.end(), "boot unknown: m") != log.end();
        },
        10000));
}

TEST(FirmwareUpdate, AChosenFileIsCheckedBeforeItReplacesTheImage) {
    Linked l;
    TForm1& f = *l.f;
    const std::vector<std::string> image = f.Memo2->Lines();
    std::string bad = SmallImageFile(3);
    bad.replace(bad.find("\r\n") + 2 + 9, 1, "G"); // line 2: a character that is no hexadecimal digit
    l.Choose(l.WriteFile("bad.hex", bad));
    ASSERT_EQ(l.Boxes().size(), 1);
    EXPECT_TRUE(l.Boxes()[0].contains("bad.hex: Line 2: character 'G' at column 10"))
        << l.Boxes()[0].toStdString();
    EXPECT_EQ(f.Memo2->Lines(), image);
    // A toolchain's output is taken; its line count is shown, and the image ends in the line not sent.
    l.Choose(QStringLiteral(VEXA_TEST_DATA "/objcopy-600-bytes-at-0200.hex"));
    EXPECT_EQ(l.Boxes().size(), 1);
    EXPECT_EQ(f.Label42->text(), "objcopy-600-bytes-at-0200.hex, 39 lines");
    ASSERT_EQ(f.Memo2->Count(), 40);
    EXPECT_EQ(f.Memo2->Line(38), ":00000001FF");
    EXPECT_EQ(f.Memo2->Line(39), "");
    // Cancelling the dialog keeps what was chosen.
    f.Button57Click();
    EXPECT_EQ(f.Memo2->Count(), 40);
    EXPECT_EQ(l.h->ui.Texts("open").size(), 3);
}

} // namespace
