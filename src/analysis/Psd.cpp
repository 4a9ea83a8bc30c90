// Welch power spectral density.
#include "analysis/Psd.h"

#include "analysis/RealFft.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace vexa::analysis {

Psd WelchPsd(Samples samples, int countsPerG, double sampleRate, std::size_t segmentLength) {
    if (segmentLength < 2 || segmentLength % 2 != 0)
        throw std::invalid_argument("WelchPsd: odd segment length");
    Psd psd;
    psd.sampleRate = sampleRate;
    psd.resolution = sampleRate / double(segmentLength);
    const std::size_t bins = segmentLength / 2 + 1;
    psd.frequency.resize(bins);
    for (std::size_t k = 0; k < bins; ++k)
        psd.frequency[k] = double(k) * psd.resolution;
    if (samples.size() < segmentLength) return psd;

    const std::size_t step = segmentLength / 2;
    psd.segments = (samples.size() - segmentLength) / step + 1;
    psd.samplesUsed = (psd.segments - 1) * step + segmentLength;

    std::vector<double> window(segmentLength);
    double windowPower = 0;
    for (std::size_t n = 0; n < segmentLength; ++n) {
        window[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(n) / double(segmentLength));
        windowPower += window[n] * window[n];
    }
    // One-sided: every bin but DC and Nyquist carries its negative-frequency twin too.
    const double scale = 1.0 / (sampleRate * windowPower * double(psd.segments));

    RealFft fft(segmentLength);
    std::vector<float> block(segmentLength);
    std::vector<double> power(bins);
    const double g = double(countsPerG);
    for (int a = 0; a < 3; ++a) {
        std::vector<double>& density = psd.density[std::size_t(a)];
        density.assign(bins, 0.0);
        for (std::size_t s = 0; s < psd.segments; ++s) {
            const Samples segment = samples.subspan(s * step, segmentLength);
            double mean = 0;
            for (const Sample& sample : segment)
                mean += AxisCounts(sample, a);
            mean /= double(segmentLength);
            for (std::size_t n = 0; n < segmentLength; ++n)
                block[n] = float((AxisCounts(segment[n], a) - mean) / g * window[n]);
            fft.PowerSpectrum(block, power);
            for (std::size_t k = 0; k < bins; ++k)
                density[k] += power[k];
        }
        double area = 0;
        for (std::size_t k = 0; k < bins; ++k) {
            density[k] *= (k == 0 || k == bins - 1) ? scale : 2 * scale;
            area += density[k] * psd.resolution;
        }
        psd.grms[std::size_t(a)] = std::sqrt(area);
        psd.grmsOverall += area;
    }
    psd.grmsOverall = std::sqrt(psd.grmsOverall);
    return psd;
}

} // namespace vexa::analysis
