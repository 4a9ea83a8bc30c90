// Puts a run of one-column strokes and text pixels into an image so that each pixel is written once.
#include "graph/core/ColumnCompositor.h"

#include <algorithm>
#include <functional>

namespace vexa {

void ColumnCompositor::Begin(std::uint32_t* bits, int stride, int width, int height) {
    ops_.clear();
    bits_ = bits;
    stride_ = stride;
    width_ = width;
    height_ = height;
    if (int(covered_.size()) != width) covered_.assign(std::size_t(std::max(width, 0)), {});
    const std::size_t pixels = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
    if (stamp_.size() != pixels) {
        stamp_.assign(pixels, 0);
        generation_ = 0;
    }
    if (ops_.capacity() == 0) ops_.reserve(1 << 16);
}

void ColumnCompositor::Mask(const PixelMask& mask, int left, int top, std::uint32_t colour) {
    ops_.push_back({left, top, top, colour, &mask});
}

void ColumnCompositor::Flush() {
    if (ops_.empty()) return;
    // A byte of stamp per pixel; when the generations wrap, the stamps start again from zero.
    if (++generation_ == 0) {
        std::fill(stamp_.begin(), stamp_.end(), 0);
        generation_ = 1;
    }
    for (auto op = ops_.rbegin(); op != ops_.rend(); ++op) {
        if (op->mask)
            WriteMask(*op);
        else
            WriteSpan(*op);
    }
    for (int x : touched_)
        covered_[std::size_t(x)].clear();
    touched_.clear();
    ops_.clear();
    placed_.clear();
}

void ColumnCompositor::WriteMask(const Op& op) {
    if (!placed_.insert({op.mask, op.x, op.top}).second) return;
    for (const auto& [dx, dy] : op.mask->pixels) {
        const int x = op.x + dx, y = op.top + dy;
        if (x < 0 || x >= width_ || y < 0 || y >= height_) continue;
        const std::size_t p = std::size_t(y) * std::size_t(width_) + std::size_t(x);
        if (stamp_[p] == generation_) continue;
        stamp_[p] = generation_;
        bits_[std::ptrdiff_t(y) * stride_ + x] = op.colour;
    }
}

void ColumnCompositor::WriteSpan(const Op& op) {
    std::vector<std::pair<int, int>>& ranges = covered_[std::size_t(op.x)];
    if (ranges.empty()) touched_.push_back(op.x);
    const std::size_t rowBase = std::size_t(op.x);
    auto write = [&](int from, int to) {
        for (int y = from; y <= to; ++y) {
            const std::size_t p = std::size_t(y) * std::size_t(width_) + rowBase;
            if (stamp_[p] == generation_) continue;
            stamp_[p] = generation_;
            bits_[std::ptrdiff_t(y) * stride_ + op.x] = op.colour;
        }
    };
    // Ranges that overlap or touch [top, bottom] are merged into one; the gaps between them are written.
    auto first =
        std::find_if(ranges.begin(), ranges.end(), [&](const auto& r) { return r.second >= op.top - 1; });
    auto last = first;
    int y = op.top;
    int mergedTop = op.top, mergedBottom = op.bottom;
    for (; last != ranges.end() && last->first <= op.bottom + 1; ++last) {
        if (last->first > y) write(y, std::min(last->first - 1, op.bottom));
        y = std::max(y, last->second + 1);
        mergedTop = std::min(mergedTop, last->first);
        mergedBottom = std::max(mergedBottom, last->second);
    }
    if (y <= op.bottom) write(y, op.bottom);
    if (first == last) {
        ranges.insert(first, {mergedTop, mergedBottom});
    } else {
        *first = {mergedTop, mergedBottom};
        ranges.erase(first + 1, last);
    }
}

} // namespace vexa
