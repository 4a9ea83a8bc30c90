// The terminal progress bar of long transfers.
#include "cli/ProgressBar.h"

#include <algorithm>

namespace vexa::cli {

namespace {
std::string ClockText(long seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", seconds / 60, seconds % 60);
    return text;
}
} // namespace

ProgressBar::ProgressBar(std::FILE* stream, bool enabled, int columns, std::string unit)
    : stream_(stream), enabled_(enabled), columns_(columns), unit_(std::move(unit)), start_(Clock::now()) {}

ProgressBar::~ProgressBar() {
    Clear();
}

std::string ProgressBar::Line(long done, long total, double seconds, int columns, const std::string& unit) {
    std::string counts = std::to_string(done);
    if (total > 0) counts += "/" + std::to_string(total);
    counts += " " + unit;
    std::string rate, left;
    if (seconds > 0.2 && done > 0) {
        const double perSecond = double(done) / seconds;
        rate = "  " + std::to_string(long(perSecond + 0.5)) + "/s";
        if (total > done) left = "  " + ClockText(long(double(total - done) / perSecond + 0.5)) + " left";
    }
    const std::string text = " " + counts + rate + left;
    // The bar takes the room the text leaves, between 10 and 40 characters; none on a narrow terminal.
    const int room = columns - 1 - int(text.size()) - 2;
    if (total <= 0 || room < 10) {
        std::string plain = text.substr(1);
        plain.resize(std::min(plain.size(), size_t(std::max(columns - 1, 1))));
        return plain;
    }
    const int width = std::min(room, 40);
    const int filled = int(double(width) * double(std::min(done, total)) / double(total));
    return "[" + std::string(size_t(filled), '#') + std::string(size_t(width - filled), '.') + "]" + text;
}

void ProgressBar::Update(long done, long total, Clock::time_point now) {
    if (!enabled_) return;
    if (drawn_ && now - lastDrawn_ < std::chrono::milliseconds(100) && done < total) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string line = Line(done, total, seconds, columns_, unit_);
    // Back to the line's start, and blanks over what is left of a longer line drawn before: no terminal
    // control sequences, so any console shows it.
    const std::string blanks(line.size() < drawnLength_ ? drawnLength_ - line.size() : 0, ' ');
    std::fprintf(stream_, "\r%s%s", line.c_str(), blanks.c_str());
    std::fflush(stream_);
    drawnLength_ = line.size() + blanks.size();
    drawn_ = true;
}

void ProgressBar::Clear() {
    if (!drawn_) return;
    std::fprintf(stream_, "\r%s\r", std::string(drawnLength_, ' ').c_str());
    std::fflush(stream_);
    drawnLength_ = 0;
    drawn_ = false;
}

} // namespace vexa::cli
