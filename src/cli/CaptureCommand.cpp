// `vexa capture --seconds N -o FILE.csv`: the window's "5ms" capture, saved as the window saves it.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LoggerLink.h"
#include "cli/Main.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/Subcommands.h"
#include "platform/Console.h"
#include "protocol/CaptureFormat.h"

namespace vexa::cli {

int RunCapture(const Invocation& inv, Streams& streams) {
    if (!inv.Has("seconds")) throw UsageFailure("capture needs its length: --seconds N (5 to 360)");
    const int seconds = IntegerOption(inv, "seconds", vexa::kCaptureMinSeconds, vexa::kCaptureMaxSeconds, 0);
    const auto output = inv.Value("output");
    if (!output || output->empty()) throw UsageFailure("capture needs the file to write: -o FILE.csv");
    CheckOutputFile(*output);
    // From here Ctrl+C ends the capture as Escape does, instead of the program.
    vexa::CatchInterrupts();

    const auto linked = ConnectToLogger(inv);
    LoggerLink& link = *linked;
    link.Greet();
    if (vexa::InterruptRequested()) throw Failure(kExitOther, "interrupted before the capture started");

    ProgressBar bar(streams.err, streams.errIsTerminal, streams.columns, "samples");
    const int target = seconds * vexa::kCaptureSamplesPerSecond;
    CaptureOutcome run = link.Capture(target, [&](long received, long of) { bar.Update(received, of); });
    bar.Clear();
    if (run.interrupted && run.recording.LineCount() == 0)
        throw Failure(kExitOther, "interrupted before the capture started");

    // Ended by the logger (silent, unplugged) rather than by the target or Ctrl+C: the file says so.
    const bool cut = !run.interrupted && !run.status.empty() && run.sampleLines < target;
    const std::string file = cut ? PartialName(*output) : *output;
    WriteRecording(file, run.recording);
    if (!run.status.empty() && !cut) Say(streams, run.status);
    if (inv.Has("json")) {
        JsonObject o;
        o.String("file", file).Integer("samples", run.sampleLines).Integer("target", target);
        o.Boolean("complete", !cut && !run.interrupted);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
    } else {
        std::fprintf(streams.out, "%s: %d samples of %d (%d s)\n", file.c_str(), run.sampleLines, target,
                     seconds);
    }
    if (cut) {
        const std::string cause = link.Unplugged() ? "was unplugged" : "stopped sending";
        throw Failure(kExitLost, "the logger on " + link.Port().name + " " + cause + ": " + run.status +
                                     " written to " + file);
    }
    return kExitDone;
}

} // namespace vexa::cli
