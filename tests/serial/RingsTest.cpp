// The receive ring's read-ahead accounting and the output ring's all-or-nothing queuing.
#include "serial/DispatchBuffer.h"
#include "serial/OutputRing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using vexa::serial::DispatchBuffer;
using vexa::serial::OutputRing;

namespace {

void Receive(DispatchBuffer& b, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        auto space = b.WritableSpan();
        const std::size_t n = std::min(space.size(), bytes.size() - done);
        ASSERT_GT(n, 0u) << "ring full";
        std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(done), n, space.begin());
        b.Commit(n);
        done += n;
    }
}

std::string Take(DispatchBuffer& b, std::size_t n) {
    std::string out;
    for (std::size_t i = 0; i < n; ++i)
        if (auto c = b.GetChar()) out.push_back(static_cast<char>(*c));
    return out;
}

TEST(DispatchBuffer, BytesLeftByAHandlerAreAnnouncedAgainOnlyWithNewOnes) {
    DispatchBuffer b;
    Receive(b, "0123456789");
    ASSERT_EQ(b.TakeAvailNotification(1), 10u);
    b.BeginNotification();
    EXPECT_EQ(Take(b, 4), "0123");
    EXPECT_EQ(b.Unread(), 6u);
    EXPECT_EQ(b.EndNotification(), 4u);

    EXPECT_FALSE(b.TakeAvailNotification(1)); // nothing new: the six wait
    Receive(b, "abc");
    ASSERT_EQ(b.TakeAvailNotification(1), 9u);
    b.BeginNotification();
    EXPECT_EQ(Take(b, 1), "4");
    b.EndNotification();
    EXPECT_EQ(Take(b, 8), "56789abc"); // outside a notification reads remove at once
    EXPECT_EQ(b.Used(), 0u);
}

// A block read hands out exactly what byte-by-byte reads would, across the ring's wrap and inside a
// notification, where the bytes count as consumed only when it ends.
TEST(DispatchBuffer, BlockReadMatchesByteReadsAcrossTheWrap) {
    DispatchBuffer b;
    Receive(b, std::string(DispatchBuffer::kSize - 3, '.'));
    std::string skipped;
    EXPECT_EQ(b.GetBlock(skipped), DispatchBuffer::kSize - 3);
    Receive(b, "0123456789"); // seven of these lie at the ring's start
    ASSERT_EQ(b.TakeAvailNotification(1), 10u);
    b.BeginNotification();
    EXPECT_EQ(Take(b, 2), "01");
    std::string block;
    EXPECT_EQ(b.GetBlock(block), 8u);
    EXPECT_EQ(block, "23456789");
    EXPECT_EQ(b.GetBlock(block), 0u); // nothing more: no error, nothing appended
    EXPECT_EQ(b.Used(), 10u);
    EXPECT_EQ(b.EndNotification(), 10u);
    EXPECT_EQ(b.Used(), 0u);
}

TEST(DispatchBuffer, ReadingPastTheAnnouncedBytesFailsAndKeepsWhatWasRead) {
    DispatchBuffer b;
    Receive(b, "xy");
    b.TakeAvailNotification(1);
    b.BeginNotification();
    EXPECT_TRUE(b.GetChar());
    EXPECT_TRUE(b.GetChar());
    EXPECT_FALSE(b.GetChar());
    EXPECT_EQ(b.EndNotification(), 2u);
    EXPECT_EQ(b.Used(), 0u);
}

TEST(DispatchBuffer, AFullRingOfNewBytesIsAnnounced) {
    DispatchBuffer b;
    Receive(b, std::string(100, 'a'));
    Take(b, 100);
    b.TakeAvailNotification(1);
    // Exactly one ring's worth: the write position is back where it was, the bytes are still new.
    Receive(b, std::string(DispatchBuffer::kSize, 'b'));
    EXPECT_TRUE(b.Full());
    EXPECT_EQ(b.TakeAvailNotification(1), DispatchBuffer::kSize);
    EXPECT_TRUE(b.WritableSpan().empty());
}

TEST(DispatchBuffer, FlushDuringANotificationConsumesEverythingWhenItEnds) {
    DispatchBuffer b;
    Receive(b, "hello");
    b.TakeAvailNotification(1);
    b.BeginNotification();
    Take(b, 1);
    b.Flush();
    EXPECT_EQ(b.Unread(), 0u);
    EXPECT_EQ(b.EndNotification(), 5u);
    EXPECT_EQ(b.Used(), 0u);
}

TEST(DispatchBuffer, TheTriggerLengthHoldsBackShortRuns) {
    DispatchBuffer b;
    Receive(b, "ab");
    EXPECT_FALSE(b.TakeAvailNotification(3));
    EXPECT_FALSE(b.TakeAvailNotification(0)); // 0: no data-available notifications at all
    Receive(b, "c");
    EXPECT_EQ(b.TakeAvailNotification(3), 3u);
}

TEST(OutputRing, QueuesAllOrNothingAcrossTheWrap) {
    OutputRing r(8);
    const std::string first = "abcdef";
    ASSERT_TRUE(r.Put({reinterpret_cast<const std::uint8_t*>(first.data()), first.size()}));
    r.Advance(5, r.Generation());
    const std::string wrap = "ghijklm"; // 1 pending + 7 = 8: fills the ring, wrapping
    ASSERT_TRUE(r.Put({reinterpret_cast<const std::uint8_t*>(wrap.data()), wrap.size()}));
    EXPECT_TRUE(r.Full());
    EXPECT_FALSE(r.Put({reinterpret_cast<const std::uint8_t*>("z"), 1}));

    std::string out;
    while (r.Used() > 0) {
        auto piece = r.Pending();
        out.append(piece.begin(), piece.end());
        r.Advance(piece.size(), r.Generation());
    }
    EXPECT_EQ(out, "fghijklm");
}

TEST(OutputRing, AWriteFinishingAfterAFlushDoesNotEatNewBytes) {
    OutputRing r(8);
    ASSERT_TRUE(r.Put({reinterpret_cast<const std::uint8_t*>("old"), 3}));
    const auto generation = r.Generation(); // the output thread took "old"...
    r.Clear();                              // ...the port flushed meanwhile...
    ASSERT_TRUE(r.Put({reinterpret_cast<const std::uint8_t*>("new"), 3}));
    r.Advance(3, generation); // ...and its write of "old" completes
    EXPECT_EQ(r.Used(), 3u);
}

} // namespace
