// The texts the main window shows for each status reply and for the model line.
#include "protocol/ShownTexts.h"

namespace vexa {

namespace {
template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

ShownText Wire(Shown what, std::string text) {
    return {what, std::move(text), true};
}
ShownText Table(Shown what, std::string text) {
    return {what, std::move(text), false};
}
} // namespace

std::vector<ShownText> ShownTexts(const StatusReply& reply) {
    using V = std::vector<ShownText>;
    return std::visit(
        Overloaded{
            [](const IgnoredReply&) { return V{}; },
            [](const AdjustReplyH& r) {
                return V{Wire(Shown::HazardLevel, r.level), Wire(Shown::Gravity, r.gravity),
                         Wire(Shown::Endless, r.endless)};
            },
            [](const AdjustReply& r) {
                return V{Wire(Shown::HundredHz, r.hundredHz), Wire(Shown::Display, r.display),
                         Wire(Shown::Df, r.df)};
            },
            [](const FineAdjustReply& r) {
                return V{Wire(Shown::FineX, r.x), Wire(Shown::FineY, r.y), Wire(Shown::FineZ, r.z)};
            },
            [](const BuzzerReply& r) { return V{Table(Shown::Buzzer, r.stateText())}; },
            [](const CountReply& r) {
                return V{Wire(Shown::RecordCount, r.countText), Wire(Shown::MemorySize, r.afterCountText)};
            },
            [](const ThresholdReply& r) { return V{Wire(Shown::Threshold, r.threshold)}; },
            [](const TitleReply& r) { return V{Wire(Shown::Title, r.text)}; },
            [](const TitleRangeReply& r) {
                V shown;
                if (r.countsPerGIs2) shown.push_back(Table(Shown::Range, "50"));
                shown.push_back(Wire(Shown::Title, r.text));
                return shown;
            },
            [](const SamplingReply& r) { return V{Table(Shown::Sampling, r.sampling.text)}; },
            [](const IdTextReply& r) { return V{Wire(Shown::IdText, r.idText)}; },
            [](const LReply& r) { return V{Wire(Shown::LValue, r.lValue)}; },
            [](const LoggerIdReply& r) { return V{Wire(Shown::LoggerId, r.loggerId)}; },
            [](const IntervalReply& r) { return V{Table(Shown::Interval, r.intervalName)}; },
            [](const RecReply& r) { return V{Wire(Shown::RecValue, r.recValue)}; },
            [](const StartModeReply& r) { return V{Table(Shown::StartMode, r.startMode)}; },
            [](const RangeReply& r) { return r.range ? V{Table(Shown::Range, r.range->rangeText)} : V{}; },
            [](const ThresholdDetectReply&) { return V{}; },
            [](const StartSettingReply& r) { return V{Wire(Shown::StartSetting, r.startSetting)}; },
            [](const StartYearReply& r) { return V{Wire(Shown::StartYear, r.year)}; },
        },
        reply);
}

std::vector<ShownText> ShownTexts(const ModelLine& model) {
    if (!model.accepted || !model.firmwareVersionText) return {};
    return {Wire(Shown::Firmware, *model.firmwareVersionText)};
}

} // namespace vexa
