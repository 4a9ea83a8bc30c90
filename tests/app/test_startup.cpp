// Process start: the single-instance guard and the error box for exceptions that escape handlers.
#include "app/TApplication.h"
#include "app/TTimer.h"
#include "platform/QtUiMailbox.h"
#include "platform/ScriptedInteraction.h"
#include "platform/SingleInstance.h"
#include "support/Pump.h"

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <thread>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

namespace {

struct LockDir {
    QTemporaryDir dir;
    LockDir() { qputenv("VEXA_LOCK_DIR", dir.path().toLocal8Bit()); }
    ~LockDir() { qunsetenv("VEXA_LOCK_DIR"); }
};

TEST(SingleInstance, SecondGuardIsRefusedUntilTheFirstIsReleased) {
    LockDir lock;
    SingleInstanceGuard first("orewavexada");
    SingleInstanceGuard second("orewavexada");
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

TEST(SingleInstance, StaleLockFileOfACrashedCopyDoesNotBlock) {
    LockDir lock;
    SingleInstanceGuard guard("orewavexada");
    // A crashed copy leaves its lock file behind, but nobody holds the lock any more.
    const int fd = ::open(guard.LockPath().c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(guard.Acquire());
}

TEST(SingleInstance, SecondProgramExitsWithCode1AndShowsNothing) {
    LockDir lock;
    SingleInstanceGuard running("orewavexada");
    ASSERT_TRUE(running.Acquire());
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(VEXAVIEW_PATH), {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
}

struct ErrorBoxFixture : ::testing::Test {
    ScriptedInteraction ui;
    TApplication* app = static_cast<TApplication*>(QCoreApplication::instance());
    void SetUp() override { app->SetInteraction(&ui); }
    void TearDown() override { app->SetInteraction(nullptr); }
};

TEST_F(ErrorBoxFixture, ExceptionFromAButtonIsShownOnceAndTheProgramGoesOn) {
    QPushButton button("x");
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ++clicks;
        throw std::runtime_error("ie_Open - device already open");
    });
    QTest::mouseClick(&button, Qt::LeftButton);
    ASSERT_EQ(ui.Texts("error").size(), 1);
    EXPECT_EQ(ui.Texts("error")[0], "ie_Open - device already open");
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(ui.Texts("error").size(), 2);
}

TEST_F(ErrorBoxFixture, ExceptionFromATimerTickIsShownAndTheTimerKeepsRunning) {
    QObject owner;
    TTimer timer(&owner, 10);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 1) throw std::runtime_error("Buffer is empty");
    };
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }, 3000));
    timer.SetInterval(0);
    ASSERT_EQ(ui.Texts("error").size(), 1);
    EXPECT_EQ(ui.Texts("error")[0], "Buffer is empty");
}

TEST_F(ErrorBoxFixture, ExceptionFromAQueuedCallIsShown) {
    QObject target;
    bool ran = false;
    QMetaObject::invokeMethod(
        &target,
        [&] {
            ran = true;
            throw std::runtime_error("Output buffer too small for block");
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(PumpUntil([&] { return ran && !ui.Texts("error").isEmpty(); }));
    EXPECT_EQ(ui.Texts("error"), QStringList{"Output buffer too small for block"});
}

// The serial layer's notifications reach the UI thread through this mailbox.
TEST_F(ErrorBoxFixture, MailboxRunsCallsOnTheUiThreadAndReleasesTheSender) {
    QtUiMailbox mailbox;
    const auto uiThread = std::this_thread::get_id();
    bool inline_ran = false;
    EXPECT_TRUE(mailbox.Send([&] { inline_ran = std::this_thread::get_id() == uiThread; }, 3000));
    EXPECT_TRUE(inline_ran);  // from the UI thread itself: run at once, no deadlock

    std::atomic<bool> ranOnUi{false}, sent{false}, threwAndReleased{false};
    std::thread worker([&] {
        sent = mailbox.Send([&] { ranOnUi = std::this_thread::get_id() == uiThread; }, 3000);
        threwAndReleased = mailbox.Send([] { throw std::runtime_error("Buffer is empty"); }, 3000);
    });
    ASSERT_TRUE(PumpUntil([&] { return threwAndReleased.load(); }, 5000));
    worker.join();
    EXPECT_TRUE(sent);
    EXPECT_TRUE(ranOnUi);
    EXPECT_EQ(ui.Texts("error"), QStringList{"Buffer is empty"});
}

TEST_F(ErrorBoxFixture, MailboxSendGivesUpAfterItsTimeoutWhileTheUiIsBusy) {
    QtUiMailbox mailbox;
    std::atomic<int> result{-1};
    bool lateCallRan = false;
    std::thread worker([&] { result = mailbox.Send([&] { lateCallRan = true; }, 50) ? 1 : 0; });
    worker.join();  // the UI thread does not pump meanwhile
    EXPECT_EQ(result, 0);
    // The call given up on still runs once the UI thread gets to it, and harms nothing.
    EXPECT_TRUE(PumpUntil([&] { return lateCallRan; }));
    EXPECT_TRUE(ui.shown.empty());
}

TEST(TimerSemantics, IntervalZeroStopsAndANewIntervalRestarts) {
    QObject owner;
    TTimer timer(&owner, 2000);
    EXPECT_TRUE(timer.Running());
    timer.SetInterval(0);
    EXPECT_FALSE(timer.Running());
    EXPECT_EQ(timer.Interval(), 0);
    timer.SetInterval(1000);
    EXPECT_TRUE(timer.Running());
    EXPECT_EQ(timer.Interval(), 1000);
}

} // namespace
