// The analysis subcommands in a build that lacks what they need (KissFFT for the analysis, Qt Gui for the
// report): each says so instead of being left out of the list silently.
#include "cli/Failure.h"
#include "cli/Subcommands.h"

namespace vexa::cli {

#ifndef VEXA_CLI_HAVE_ANALYSIS
int RunStats(const Invocation&, Streams&) {
    throw Failure(kExitOther, "this vexa was built without the analysis (no KissFFT for its platform)");
}
int RunEvents(const Invocation&, Streams&) {
    throw Failure(kExitOther, "this vexa was built without the analysis (no KissFFT for its platform)");
}
#endif
#ifndef VEXA_CLI_HAVE_REPORT
int RunReport(const Invocation&, Streams&) {
    throw Failure(kExitOther, "this vexa was built without the PDF report (no Qt for its platform)");
}
#endif

} // namespace vexa::cli
