// `vexa status`: greets the logger as the window does at first contact and prints its settings.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LoggerLink.h"
#include "cli/Main.h"
#include "cli/Subcommands.h"
#include "protocol/StatusReply.h"

namespace vexa::cli {

int RunStatus(const Invocation& inv, Streams& streams) {
    const auto linked = ConnectToLogger(inv);
    LoggerLink& link = *linked;
    link.Greet();
    const LoggerSettings& s = link.Settings();
    if (s.modelRefused) Say(streams, std::string(vexa::ModelMismatchMessage));
    using vexa::Shown;
    const struct {
        const char* key;
        const char* label;
        Shown what;
    } texts[] = {
        {"firmware", "firmware", Shown::Firmware}, {"id", "id", Shown::LoggerId},
        {"buzzer", "buzzer", Shown::Buzzer},       {"interval", "interval", Shown::Interval},
        {"sampling", "sampling", Shown::Sampling}, {"startMode", "start mode", Shown::StartMode},
        {"range", "range", Shown::Range},          {"threshold", "threshold", Shown::Threshold},
        {"year", "year", Shown::StartYear},
    };
    const int countsPerG = link.State().CountsPerG;
    if (inv.Has("json")) {
        JsonObject o;
        o.String("port", link.Port().name);
        for (const auto& t : texts)
            o.String(t.key, s.Text(t.what));
        o.Integer("countsPerG", countsPerG);
        o.IntegerOrNull("records", s.records ? std::optional<std::int64_t>(*s.records) : std::nullopt);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
        return kExitDone;
    }
    auto line = [&](const std::string& label, const std::string& value) {
        std::string padded = label;
        padded.resize(std::max<std::size_t>(padded.size() + 1, 12), ' ');
        std::fprintf(streams.out, "%s%s\n", padded.c_str(), value.c_str());
    };
    line("port", link.Port().name);
    for (const auto& t : texts)
        line(t.label, s.Text(t.what));
    line("counts/G", std::to_string(countsPerG));
    line("records", s.records ? std::to_string(*s.records) : "-");
    return kExitDone;
}

} // namespace vexa::cli
