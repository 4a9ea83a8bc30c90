// Power spectrum through KissFFT's real transform.
#include "analysis/RealFft.h"

#include <kiss_fftr.h>

#include <new>
#include <stdexcept>
#include <vector>

namespace vexa::analysis {

struct RealFft::Plan {
    kiss_fftr_cfg cfg = nullptr;
    std::vector<kiss_fft_cpx> out;
    ~Plan() { kiss_fftr_free(cfg); }
};

RealFft::RealFft(std::size_t n) : n_(n), plan_(std::make_unique<Plan>()) {
    if (n < 2 || n % 2 != 0) throw std::invalid_argument("RealFft: the length must be even");
    plan_->cfg = kiss_fftr_alloc(int(n), 0, nullptr, nullptr);
    if (!plan_->cfg) throw std::bad_alloc();
    plan_->out.resize(n / 2 + 1);
}

RealFft::~RealFft() = default;

void RealFft::PowerSpectrum(std::span<const float> in, std::span<double> power) {
    if (in.size() != n_ || power.size() != n_ / 2 + 1)
        throw std::invalid_argument("RealFft: wrong block size");
    kiss_fftr(plan_->cfg, in.data(), plan_->out.data());
    for (std::size_t k = 0; k < power.size(); ++k) {
        const double re = plan_->out[k].r, im = plan_->out[k].i;
        power[k] = re * re + im * im;
    }
}

} // namespace vexa::analysis
