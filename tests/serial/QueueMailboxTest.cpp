// The pumped mailbox that stands in for the UI thread in tests and tools.
#include "serial/QueueMailbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

using namespace std::chrono_literals;

namespace {

TEST(QueueMailbox, SendRunsTheCallOnThePumpingThreadAndWaitsForIt) {
    QueueMailbox mailbox;
    const auto pumpThread = std::this_thread::get_id();
    std::thread::id ranOn;
    auto sent = std::async(std::launch::async,
                           [&] { return mailbox.Send([&] { ranOn = std::this_thread::get_id(); }, 5000); });
    ASSERT_TRUE(mailbox.PumpUntil([&] { return ranOn != std::thread::id(); }, 5s));
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(ranOn, pumpThread);
}

TEST(QueueMailbox, SendFromThePumpingThreadRunsInline) {
    QueueMailbox mailbox;
    bool ran = false;
    EXPECT_TRUE(mailbox.Send([&] { ran = true; }, 0));
    EXPECT_TRUE(ran);
}

TEST(QueueMailbox, SendGivesUpAfterItsTimeOut) {
    QueueMailbox mailbox;
    const auto start = std::chrono::steady_clock::now();
    auto sent = std::async(std::launch::async, [&] { return mailbox.Send([] {}, 100); });
    EXPECT_FALSE(sent.get());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(mailbox.PumpPending(), 1u); // still queued: it may run late
}

TEST(QueueMailbox, AThrowingCallReleasesItsSenderAndReachesThePump) {
    QueueMailbox mailbox;
    auto sent = std::async(std::launch::async,
                           [&] { return mailbox.Send([] { throw std::runtime_error("boom"); }, 5000); });
    EXPECT_THROW(mailbox.PumpUntil([] { return false; }, 5s), std::runtime_error);
    EXPECT_TRUE(sent.get());
}

TEST(QueueMailbox, DestroyingItReleasesWaitingSendersAtOnce) {
    auto mailbox = std::make_unique<QueueMailbox>();
    std::atomic<bool> queued{false};
    // The sender would wait an hour on its own: only the destruction can release it within the deadline.
    auto sent = std::async(std::launch::async, [&] {
        queued = true;
        return mailbox->Send([] {}, 3600 * 1000);
    });
    while (!queued || mailbox->Queued() == 0)
        std::this_thread::yield();
    mailbox.reset();
    ASSERT_EQ(sent.wait_for(120s), std::future_status::ready);
    EXPECT_FALSE(sent.get());
}

} // namespace
