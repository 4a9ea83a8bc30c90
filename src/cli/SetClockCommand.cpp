// `vexa set-clock`: the logger's clock set to this computer's local time, as the "e" button sets it.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LoggerLink.h"
#include "cli/Subcommands.h"

namespace vexa::cli {

int RunSetClock(const Invocation& inv, Streams& streams) {
    const auto linked = ConnectToLogger(inv);
    LoggerLink& link = *linked;
    link.Greet();

    // "s" with the clock as "e" sends it, then "te"; what "te" is answered with is the clock the logger
    // now keeps. The window's tick greets the logger again once it has had its time.
    const LoggerLink::ClockSetting setting = link.SetClock();
    const std::string& sent = setting.sent;
    std::string clock;
    for (const std::string& line : setting.answer)
        clock += (clock.empty() ? "" : " ") + line;

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
