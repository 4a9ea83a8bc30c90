// `vexa set-clock`: the logger's clock set to this computer's local time, as the "e" button sets it.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LocalTime.h"
#include "cli/LoggerLink.h"
#include "cli/Subcommands.h"
#include "platform/ShiftJis.h"
#include "protocol/ArgumentForms.h"

#include <chrono>

namespace vexa::cli {

namespace {
// "e" has the window send "m" once the logger has had this long to take the new clock.
constexpr auto kClockSettleTime = std::chrono::seconds(12);
} // namespace

int RunSetClock(const Invocation& inv, Streams& streams) {
    const auto linked = ConnectToLogger(inv);
    LoggerLink& link = *linked;
    link.Greet();

    // "s" with the clock, then "te" when its answer ends; what "te" is answered with is the clock the
    // logger now keeps.
    std::size_t clockAnswerFrom = 0;
    link.onSend = [&](std::string_view bytes) {
        if (bytes == "te") clockAnswerFrom = link.AnswerLines().size();
    };
    const std::string sent = NowText();
    const auto sentAt = std::chrono::steady_clock::now();
    link.Exchange("s" + vexa::DateTimeArgument(sent), "te");
    link.onSend = nullptr;
    std::string clock;
    const auto& answer = link.AnswerLines();
    for (std::size_t i = clockAnswerFrom; i < answer.size(); ++i)
        clock += (clock.empty() ? "" : " ") + ShiftJisToUtf8(answer[i]);

    // The greeting "m" the window's tick sends at the deadline.
    link.RunUntil([&] { return std::chrono::steady_clock::now() >= sentAt + kClockSettleTime; });
    link.Exchange("m");

    if (inv.Has("json")) {
        JsonObject o;
        o.String("port", link.Port().name).String("sent", sent).String("clock", clock);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
    } else {
        std::fprintf(streams.out, "clock set to %s; the logger reports: %s\n", sent.c_str(),
                     clock.empty() ? "(nothing)" : clock.c_str());
    }
    return kExitDone;
}

} // namespace vexa::cli
