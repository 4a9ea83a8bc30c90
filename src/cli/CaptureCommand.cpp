// `vexa capture --seconds N -o FILE.csv`: the window's "5ms" capture, saved as the window saves it.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LocalTime.h"
#include "cli/LoggerLink.h"
#include "cli/Main.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/Subcommands.h"
#include "platform/Console.h"
#include "protocol/CaptureFormat.h"
#include "session/CaptureExchange.h"

namespace vexa::cli {

namespace {

// The window's side of the capture (work area, progress bar, status line), as the command line has it.
class CaptureRun final : public vexa::session::SessionObserver {
  public:
    CaptureRun(vexa::session::Session& session, ProgressBar& bar)
        : session_(session), bar_(bar), exchange_(session.Capture()) {}

    const vexa::session::CaptureExchange& Exchange() const { return exchange_; }
    std::vector<std::string>& Lines() { return lines_; }
    int SampleLines() const { return sampleLines_; }
    const std::string& Status() const { return status_; }
    // Runs the pending write steps (the window runs them between its events).
    void Turn() {
        while (stepDue_) {
            stepDue_ = false;
            session_.CaptureWriteStep();
        }
    }

  private:
    void CaptureProgressShown(int maximum) override { maximum_ = maximum; }
    void CaptureProgress(int position) override {
        if (exchange_.Streaming()) bar_.Update(std::min(position, maximum_), maximum_);
    }
    void CaptureProgressHidden() override { bar_.Clear(); }
    void CaptureWorkAreaLine(std::string line) override { lines_.push_back(std::move(line)); }
    void CaptureOutputBegins() override {}
    void CaptureWorkAreaLines(std::vector<std::string>& lines) override {
        sampleLines_ += int(lines.size());
        for (auto& line : lines)
            lines_.push_back(std::move(line));
    }
    void CaptureOutputEnds() override {}
    void CaptureStepDue() override { stepDue_ = true; }
    void CaptureStatus(std::string text) override { status_ = std::move(text); }
    std::string CaptureClockText() override { return SystemDateTimeText(); }

    vexa::session::Session& session_;
    ProgressBar& bar_;
    const vexa::session::CaptureExchange& exchange_;
    std::vector<std::string> lines_;
    int sampleLines_ = 0;
    int maximum_ = 0;
    bool stepDue_ = false;
    std::string status_;
};

} // namespace

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
    vexa::session::Session& session = link.Session();
    CaptureRun run(session, bar);
    link.SetCaptureView(&run);
    // One monitor sample before the stream, as "5ms" sends it: its line goes into the file and gives
    // the temperature of every sample line. The stream starts once its answer has ended.
    link.BeginCommand();
    if (!session.RequestCaptureSample(vexa::session::Clock::now()))
        throw Failure(kExitLost, "the logger on " + link.Port().name + " took no capture");
    vexa::session::CaptureSettings settings;
    settings.target = seconds * vexa::kCaptureSamplesPerSecond;
    settings.startText = NowText();
    session.StartCapture(settings, vexa::session::Clock::now());
    bool interrupted = false;
    link.RunUntil([&] { return !session.CaptureBusy(); },
                  [&] {
                      if (vexa::InterruptRequested() &&
                          (run.Exchange().Streaming() || session.CaptureWaiting())) {
                          interrupted = true;
                          session.AbortCapture(vexa::session::Clock::now());
                      }
                      run.Turn();
                  });
    // A capture ended by an unplug still writes what it has.
    run.Turn();
    link.SetCaptureView(nullptr);
    bar.Clear();
    // Ctrl+C while the answer to "n" was awaited: the capture never started and nothing was recorded.
    if (interrupted && run.Lines().empty())
        throw Failure(kExitOther, "interrupted before the capture started");

    // Ended by the logger (silent, unplugged) rather than by the target or Ctrl+C: the file says so.
    const bool cut = !interrupted && !run.Status().empty() && run.Exchange().Received() < settings.target;
    const std::string file = cut ? PartialName(*output) : *output;
    WriteLines(file, run.Lines());
    if (!run.Status().empty() && !cut) Say(streams, run.Status());
    if (inv.Has("json")) {
        JsonObject o;
        o.String("file", file).Integer("samples", run.SampleLines()).Integer("target", settings.target);
        o.Boolean("complete", !cut && !interrupted);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
    } else {
        std::fprintf(streams.out, "%s: %d samples of %d (%d s)\n", file.c_str(), run.SampleLines(),
                     settings.target, seconds);
    }
    if (cut) {
        const std::string cause = link.Unplugged() ? "was unplugged" : "stopped sending";
        throw Failure(kExitLost, "the logger on " + link.Port().name + " " + cause + ": " + run.Status() +
                                     " written to " + file);
    }
    return kExitDone;
}

} // namespace vexa::cli
