// The one place that calls the FFT library: power spectrum of a block of real values.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace vexa::analysis {

class RealFft {
  public:
    // n must be even and at least 2.
    explicit RealFft(std::size_t n);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    std::size_t Size() const { return n_; }
    // |X_k|² for k = 0 .. n/2 of the n values in `in` (no scaling); `power` holds n/2 + 1 entries.
    void PowerSpectrum(std::span<const float> in, std::span<double> power);

  private:
    struct Plan;
    std::size_t n_;
    std::unique_ptr<Plan> plan_;
};

} // namespace vexa::analysis
