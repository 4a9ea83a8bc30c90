// Entry point of `vexa`, the logger's command line.
#include "cli/Main.h"
#include "platform/Console.h"

int main(int argc, char** argv) {
    vexa::cli::Streams streams;
    streams.errIsTerminal = vexa::IsTerminal(stderr);
    streams.columns = streams.errIsTerminal ? vexa::TerminalColumns(stderr) : 80;
    return vexa::cli::Main(std::vector<std::string>(argv + 1, argv + argc), streams);
}
