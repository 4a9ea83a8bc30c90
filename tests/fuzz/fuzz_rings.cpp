// Fuzz target: the serial layer's two rings driven by a stream of operations and compared with a plain
// queue: the receive ring with its notification accounting, and the output ring of any capacity.
#include "serial/DispatchBuffer.h"
#include "serial/OutputRing.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

using vexa::serial::DispatchBuffer;
using vexa::serial::OutputRing;

class Ops {
  public:
    Ops(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool More() const { return pos_ < size_; }
    std::uint8_t Next() { return pos_ < size_ ? data_[pos_++] : 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void RunReceiveRing(Ops& ops) {
    DispatchBuffer ring;
    std::deque<std::uint8_t> model;
    std::size_t handedOut = 0;
    bool inNotification = false;
    std::uint8_t nextByte = 0;
    while (ops.More()) {
        switch (ops.Next() % 7) {
        case 0: { // the reader thread stores what the driver gave, in up to two pieces
            std::size_t want = std::size_t(ops.Next()) * 40;
            for (int piece = 0; piece < 2 && want > 0; ++piece) {
                const auto span = ring.WritableSpan();
                const std::size_t n = std::min(want, span.size());
                for (std::size_t i = 0; i < n; ++i) {
                    span[i] = nextByte;
                    model.push_back(nextByte++);
                }
                ring.Commit(n);
                want -= n;
            }
            break;
        }
        case 1: {
            const auto byte = ring.GetChar();
            const std::size_t unread = model.size() - handedOut;
            FUZZ_CHECK(byte.has_value() == (unread > 0));
            if (!byte) break;
            if (inNotification) {
                FUZZ_CHECK(*byte == model[handedOut++]);
            } else {
                FUZZ_CHECK(*byte == model.front());
                model.pop_front();
            }
            break;
        }
        case 2:
            ring.Flush();
            if (inNotification)
                handedOut = model.size();
            else
                model.clear();
            break;
        case 3: {
            const std::size_t trigger = ops.Next() % 4;
            if (const auto count = ring.TakeAvailNotification(trigger)) {
                FUZZ_CHECK(trigger > 0 && *count >= trigger && *count == model.size() - handedOut);
            }
            break;
        }
        case 4:
            if (inNotification) break;
            ring.BeginNotification();
            inNotification = true;
            handedOut = 0;
            break;
        case 6: { // the whole block a notification hands out in one read
            std::string block;
            const std::size_t n = ring.GetBlock(block);
            FUZZ_CHECK(n == block.size() && n == model.size() - handedOut);
            for (std::size_t i = 0; i < n; ++i)
                FUZZ_CHECK(std::uint8_t(block[i]) == model[handedOut + i]);
            if (inNotification)
                handedOut += n;
            else
                model.erase(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(n));
            break;
        }
        case 5:
            if (!inNotification) break;
            FUZZ_CHECK(ring.EndNotification() == handedOut);
            model.erase(model.begin(), model.begin() + static_cast<std::ptrdiff_t>(handedOut));
            handedOut = 0;
            inNotification = false;
            break;
        }
        FUZZ_CHECK(ring.Used() == model.size());
        FUZZ_CHECK(ring.Unread() == model.size() - handedOut);
        FUZZ_CHECK(ring.Full() == (model.size() == DispatchBuffer::kSize));
        FUZZ_CHECK(ring.InNotification() == inNotification);
    }
}

void RunOutputRing(Ops& ops) {
    // Any capacity the port's OutSize can give, 0 included.
    const std::size_t capacity = ops.Next() % 64;
    OutputRing ring(capacity);
    std::deque<std::uint8_t> model;
    std::uint8_t nextByte = 0;
    // A piece the output thread took and has not finished writing yet.
    std::size_t takenSize = 0;
    std::uint64_t takenGeneration = ring.Generation();
    bool taken = false;
    while (ops.More()) {
        switch (ops.Next() % 4) {
        case 0: {
            std::vector<std::uint8_t> bytes(ops.Next() % 80);
            for (auto& b : bytes)
                b = nextByte++;
            const bool fits = bytes.size() <= capacity - model.size();
            FUZZ_CHECK(ring.Put(bytes) == fits);
            if (fits)
                model.insert(model.end(), bytes.begin(), bytes.end());
            else
                nextByte = static_cast<std::uint8_t>(nextByte - bytes.size());
            break;
        }
        case 1: { // the output thread takes the oldest piece
            const auto piece = ring.Pending();
            FUZZ_CHECK(piece.size() <= model.size() && (piece.empty() == model.empty()));
            FUZZ_CHECK(std::equal(piece.begin(), piece.end(), model.begin()));
            takenSize = piece.size();
            takenGeneration = ring.Generation();
            taken = true;
            break;
        }
        case 2: { // ...and finishes writing some of it, maybe after a flush
            const std::size_t n = taken ? std::min<std::size_t>(ops.Next() % 8, takenSize) : ops.Next() % 8;
            const bool current = takenGeneration == ring.Generation();
            ring.Advance(n, takenGeneration);
            if (current)
                model.erase(model.begin(),
                            model.begin() + static_cast<std::ptrdiff_t>(std::min(n, model.size())));
            taken = false;
            break;
        }
        case 3:
            ring.Clear();
            model.clear();
            break;
        }
        FUZZ_CHECK(ring.Used() == model.size());
        FUZZ_CHECK(ring.Capacity() == capacity);
        FUZZ_CHECK(ring.Full() == (model.size() == capacity));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Ops ops(data + 1, size - 1);
    if (data[0] & 1)
        RunOutputRing(ops);
    else
        RunReceiveRing(ops);
    return 0;
}
