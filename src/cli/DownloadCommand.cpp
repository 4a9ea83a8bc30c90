// `vexa download -o FILE.csv`: what the window's "取得" then "保存" write for the same logger.
#include "cli/Failure.h"
#include "cli/JsonWriter.h"
#include "cli/LoggerLink.h"
#include "cli/Main.h"
#include "cli/OutputFile.h"
#include "cli/ProgressBar.h"
#include "cli/Subcommands.h"
#include "platform/Console.h"
#include "recording/Recording.h"
#include "session/LinkState.h"

#include <chrono>

namespace vexa::cli {

int RunDownload(const Invocation& inv, Streams& streams) {
    const auto output = inv.Value("output");
    if (!output || output->empty()) throw UsageFailure("download needs the file to write: -o FILE.csv");
    CheckOutputFile(*output);
    // Ctrl+C ends the download with what has arrived, written to FILE.partial.csv.
    vexa::CatchInterrupts();

    const auto linked = ConnectToLogger(inv);
    LoggerLink& link = *linked;
    link.Greet();
    // The header as "取得" writes it before it asks: the year of the first record as the logger reported
    // it, and the counts per G of its range.
    const std::string startLine =
        vexa::DownloadStartLine(link.State().StartYearText, link.State().CountsPerG);

    ProgressBar bar(streams.err, streams.errIsTerminal, streams.columns, "records");
    const auto started = std::chrono::steady_clock::now();
    DownloadOutcome d = link.Download([&](long stored, long announced) { bar.Update(stored, announced); });
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    bar.Clear();

    const auto& s = d.summary;
    vexa::Recording recording;
    recording.AddLine(startLine);
    recording.AddLine(std::string(vexa::kNamedColumnLine));
    recording.Append(std::move(d.records));
    recording.header.columns = vexa::ColumnKind::Named;
    const std::string file = s.complete ? *output : PartialName(*output);
    WriteRecording(file, recording);

    const std::string announced = s.announcedCount >= 0 ? std::to_string(s.announcedCount) : "?";
    if (s.complete && s.announcedCount >= 0 && s.announcedCount != s.lineCount + s.droppedRecords)
        Say(streams, "the logger announced " + announced + " records but sent " +
                         std::to_string(s.lineCount + s.droppedRecords));
    if (s.droppedRecords > 0)
        Say(streams, std::to_string(s.droppedRecords) + " records beyond the table of " +
                         std::to_string(vexa::session::kTableEntries) + " were not kept");
    if (inv.Has("json")) {
        JsonObject o;
        o.String("file", file).Integer("records", s.lineCount);
        o.IntegerOrNull("announced",
                        s.announcedCount >= 0 ? std::optional<std::int64_t>(s.announcedCount) : std::nullopt);
        o.Boolean("irregular", s.irregular).Boolean("complete", s.complete).Decimal("seconds", seconds);
        std::fprintf(streams.out, "%s\n", o.Text().c_str());
    } else {
        char time[32];
        std::snprintf(time, sizeof time, "%.1f", seconds);
        std::fprintf(streams.out, "%s: %d records%s in %s s%s\n", file.c_str(), s.lineCount,
                     s.announcedCount >= 0 ? (" (" + announced + " announced)").c_str() : "", time,
                     s.irregular ? "; some record times do not advance (時間不整合), marked in the file"
                                 : "");
    }
    if (!s.complete) {
        const std::string counted =
            std::to_string(s.lineCount) + " of " + announced + " records written to " + file;
        if (d.interrupted) throw Failure(kExitOther, "interrupted: " + counted);
        const std::string cause = d.unplugged ? "was unplugged" : "stopped answering";
        throw Failure(kExitLost, "the logger on " + link.Port().name + " " + cause + ": " + counted);
    }
    return kExitDone;
}

} // namespace vexa::cli
