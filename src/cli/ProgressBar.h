// The progress bar on standard error: drawn only while that is a terminal, nothing of it in a pipe.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace vexa::cli {

class ProgressBar {
  public:
    using Clock = std::chrono::steady_clock;
    // unit: what is counted ("records", "samples"). Draws only when enabled (standard error is a
    // terminal); columns is the terminal's width.
    ProgressBar(std::FILE* stream, bool enabled, int columns, std::string unit);
    ~ProgressBar();

    // done of total (total 0: not known yet). Redrawn at most ten times a second.
    void Update(long done, long total, Clock::time_point now = Clock::now());
    // Removes the bar so that the next message starts on a clean line.
    void Clear();

    // The line as drawn: bar, "done/total unit", rate, time left; fits in columns.
    static std::string Line(long done, long total, double seconds, int columns, const std::string& unit);

  private:
    std::FILE* stream_;
    bool enabled_;
    int columns_;
    std::string unit_;
    Clock::time_point start_;
    Clock::time_point lastDrawn_{};
    bool drawn_ = false;
    std::size_t drawnLength_ = 0;
};

} // namespace vexa::cli
