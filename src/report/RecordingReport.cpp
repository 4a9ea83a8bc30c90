// A recording's report request.
#include "report/RecordingReport.h"

#include "analysis/RecordingFacts.h"
#include "analysis/Units.h"

#include <QCoreApplication>
#include <algorithm>

namespace vexa::report {

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("Report", text);
}

QString SourceText(const Recording& r) {
    switch (r.header.source) {
    case RecordingSource::Download:
        return Tr("download from the logger");
    case RecordingSource::Capture:
        return Tr("5-ms capture");
    case RecordingSource::File:
        return analysis::IsCapture(r) ? Tr("file (a 5-ms capture)") : Tr("file (a download)");
    case RecordingSource::None:
        break;
    }
    return Tr("work area");
}

} // namespace

ReportRequest ReportRequestFor(const Recording& recording, const QString& fileName, std::size_t begin,
                               std::size_t end) {
    ReportRequest r;
    r.fileName = fileName;
    const std::size_t all = recording.Samples().size();
    end = std::min(end, all);
    begin = std::min(begin, end);
    r.samples = analysis::Samples(recording.Samples()).subspan(begin, end - begin);
    r.timeText = [&recording, begin](std::size_t k) {
        return analysis::SampleTimeText(recording, begin + k);
    };
    r.countsPerG = analysis::CountsPerGOf(recording);
    r.countsPerGFromHeader = recording.header.countsPerG.has_value();
    r.capture = analysis::IsCapture(recording);

    r.facts.push_back({Tr("Source"), SourceText(recording)});
    const DeviceFacts& d = recording.header.device;
    const std::pair<const char*, const std::string*> device[] = {
        {QT_TRANSLATE_NOOP("Report", "Logger ID"), &d.id},
        {QT_TRANSLATE_NOOP("Report", "Firmware"), &d.firmware},
        {QT_TRANSLATE_NOOP("Report", "Interval"), &d.interval},
        {QT_TRANSLATE_NOOP("Report", "Sampling"), &d.sampling},
        {QT_TRANSLATE_NOOP("Report", "Range"), &d.range}};
    for (const auto& [name, value] : device)
        if (!value->empty()) r.facts.push_back({Tr(name), QString::fromStdString(*value)});
    if (end - begin < all)
        r.facts.push_back(
            {Tr("Covered"), Tr("samples %1 to %2 of %3, as graphed").arg(begin + 1).arg(end).arg(all)});
    return r;
}

} // namespace vexa::report
