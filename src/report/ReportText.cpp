// How the report writes numbers, and which events it lists.
#include "report/ReportSections.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace vexa::report {

QString G(double value) {
    return QString::number(value, 'f', 3);
}

QString Count(std::size_t n) {
    QString digits = QString::number(qulonglong(n));
    for (int at = int(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(','));
    return digits;
}

QString Duration(double seconds) {
    const double whole = std::floor(seconds);
    const long long s = (long long)whole;
    const QString rest = QString::number(seconds - double(s / 60 * 60), 'f', 1);
    if (s < 60) return QString::number(seconds, 'f', 1) + QStringLiteral(" s");
    if (s < 3600) return QStringLiteral("%1 min %2 s").arg(s / 60).arg(rest);
    if (s < 86400) return QStringLiteral("%1 h %2 min %3 s").arg(s / 3600).arg(s / 60 % 60).arg(rest);
    return QStringLiteral("%1 d %2 h %3 min %4 s")
        .arg(s / 86400)
        .arg(s / 3600 % 24)
        .arg(s / 60 % 60)
        .arg(rest);
}

std::vector<std::size_t> LargestEvents(const std::vector<analysis::ShockEvent>& events, std::size_t count) {
    std::vector<std::size_t> order(events.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    const auto larger = [&](std::size_t a, std::size_t b) {
        return events[a].peak != events[b].peak ? events[a].peak > events[b].peak : a < b;
    };
    count = std::min(count, order.size());
    std::partial_sort(order.begin(), order.begin() + std::ptrdiff_t(count), order.end(), larger);
    order.resize(count);
    return order;
}

QString ReportContext::TimeText(std::size_t sample) const {
    return request.timeText ? QString::fromStdString(request.timeText(sample)) : QString();
}

} // namespace vexa::report
