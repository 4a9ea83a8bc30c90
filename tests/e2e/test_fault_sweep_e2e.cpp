// Fault sweeps: the simulated logger hangs up at a spread of byte offsets during the greeting, the status
// report, a download and the monitor, with and without being plugged in again afterwards.
#include "support/SimHarness.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

namespace {

enum class Phase { Greeting, Status, Download, Monitor };

const char* Name(Phase p) {
    switch (p) {
    case Phase::Greeting:
        return "greeting";
    case Phase::Status:
        return "status";
    case Phase::Download:
        return "download";
    case Phase::Monitor:
        return "monitor";
    }
    return "?";
}

constexpr int kRecords = 300;
constexpr int kRecordLineBytes = 22; // 20 hexadecimal characters, CR, LF
// The watchdog is set far beyond every wait below, so an exchange that ends was ended by the hang-up.
constexpr int kNoWatchdogMs = 10 * 60 * 1000;

struct Case {
    Phase phase;
    double at; // where the hang-up falls, as a fraction of the phase's answers
    bool replug;
};

std::string Describe(const Case& c) {
    return std::string(Name(c.phase)) + " at " + std::to_string(c.at) + (c.replug ? " with replug" : "");
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << Describe(c);
}

vexa::sim::SimConfig Config() {
    vexa::sim::SimConfig config;
    config.recordCount = kRecords;
    config.start = "2024/03/04 05:06:07";
    return config;
}

// Bytes the simulator sends for the whole greeting (two "m" answers, two status reports), measured once.
long GreetingBytes() {
    static const long bytes = [] {
        SimHarness h(Config());
        h.Open();
        if (!h.WaitLinkedAndIdle(10000)) return -1L;
        return h.sim->bytesSent();
    }();
    return bytes;
}

struct FaultSweep : ::testing::TestWithParam<Case> {
    std::unique_ptr<SimHarness> h;
    TForm1* f = nullptr;

    void HangUpAfter(long bytes) {
        auto faults = h->sim->faults();
        faults.hangupAfterBytes = bytes;
        h->sim->setFaults(faults);
    }
    bool Linked() const { return f->Button4->text() == QStringLiteral("接続"); }
    bool ExchangeOver() const {
        return !f->ApdComPort1.Open() && f->LoggerSession().CurrentPhase() != vexa::session::Phase::Download;
    }
    bool SaysUnplugged() const { return f->Label33->text().contains(QStringLiteral("unplugged")); }
};

TEST_P(FaultSweep, HangUpEndsTheExchangeKeepsWhatArrivedAndTheToolLinksAgain) {
    const Case c = GetParam();
    SCOPED_TRACE(Describe(c));
    const long greeting = GreetingBytes();
    ASSERT_GT(greeting, 0);

    auto config = Config();
    if (c.phase == Phase::Greeting)
        config.faults.hangupAfterBytes = long(c.at * 80); // inside the "m" answers
    if (c.phase == Phase::Status) config.faults.hangupAfterBytes = 80 + long(c.at * double(greeting - 80));
    h = std::make_unique<SimHarness>(config);
    // Start-up connects at once and leaves the timer to the exchange, as the program does.
    f = &h->Open();
    f->LoggerSession().SetExchangeTimeout(std::chrono::milliseconds(kNoWatchdogMs));

    long expectedRecords = -1;
    if (c.phase == Phase::Download || c.phase == Phase::Monitor) {
        f->Timer1->SetInterval(100);
        ASSERT_TRUE(h->WaitLinkedAndIdle(10000));
        const long sent = h->sim->bytesSent();
        if (c.phase == Phase::Download) {
            const long countLine = long(std::string("@C= 300 72000\r\n").size());
            const long offset = countLine + long(c.at * kRecords * kRecordLineBytes);
            expectedRecords = std::clamp((offset - countLine) / kRecordLineBytes, 0L, long(kRecords));
            HangUpAfter(sent + offset);
            f->Timer1->SetInterval(0);
            f->Button30Click();
        } else {
            HangUpAfter(sent + 5 + long(c.at * 120)); // within the first few monitor answers
            f->Button10Click();
            ASSERT_TRUE(PumpUntil([&] { return !f->TrackBar1->isHidden(); }, 5000));
        }
    }

    ASSERT_TRUE(PumpUntil([&] { return h->sim->unplugged(); }, 10000));
    // The exchange ends on the hang-up itself, says so, and keeps every record that arrived whole.
    ASSERT_TRUE(PumpUntil([&] { return ExchangeOver() && SaysUnplugged(); }, 10000))
        << "status: " << f->Label33->text().toStdString();
    EXPECT_FALSE(Linked());
    if (expectedRecords >= 0) {
        EXPECT_EQ(f->State.LineCount, expectedRecords);
        EXPECT_EQ(f->Memo1->Count(), f->State.LineCount + 2);
        EXPECT_FALSE(f->Memo1->isHidden());
        EXPECT_TRUE(f->ProgressBar1->isHidden());
    }
    if (c.phase == Phase::Monitor) {
        EXPECT_TRUE(f->TrackBar1->isHidden()); // no stale reading stays up
    }

    if (!c.replug) return;
    // Plugged in again on a new device: the tool greets the logger and reads its status once more.
    h->sim->stop();
    auto again = Config();
    again.registryPath = h->registryPath;
    h->sim = std::make_unique<vexa::sim::Simulator>(again);
    h->sim->start();
    ASSERT_TRUE(PumpUntil([&] { return Linked() && h->WaitIdle(0); }, 15000))
        << ::testing::PrintToString(h->Log());
    ASSERT_TRUE(PumpUntil([&] { return f->Label15->text() == QStringLiteral("2024"); }, 5000))
        << "year: " << f->Label15->text().toStdString() << " log: " << ::testing::PrintToString(h->Log());
    const auto log = h->Log();
    EXPECT_NE(std::find(log.begin(), log.end(), "p"), log.end()) << ::testing::PrintToString(log);
}

std::vector<Case> Cases() {
    std::vector<Case> cases;
    const double spread[] = {0.05, 0.35, 0.7, 0.97};
    for (Phase p : {Phase::Greeting, Phase::Status, Phase::Download, Phase::Monitor}) {
        bool replug = false;
        for (double at : spread) {
            cases.push_back({p, at, replug});
            replug = !replug;
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Offsets, FaultSweep, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(Name(info.param.phase)) + "_" +
                                    std::to_string(int(info.param.at * 100)) +
                                    (info.param.replug ? "_replug" : "");
                         });

} // namespace
