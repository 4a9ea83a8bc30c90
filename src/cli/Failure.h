// How the command line ends: its exit codes, and the failure that carries one with its message.
#pragma once

#include <stdexcept>
#include <string>

namespace vexa::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitOther = 1,    // anything not listed below (the logger refused the model check, say)
    kExitUsage = 2,    // bad arguments, or a file that cannot be read or written
    kExitNoLogger = 3, // no logger found, its port cannot be opened, or another program holds it
    kExitLost = 4,     // the logger stopped answering or was unplugged
};

// Ends a subcommand with an exit code and a message for standard error (one line, plain words).
class Failure : public std::runtime_error {
  public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

  private:
    ExitCode code_;
};

// A mistake in the arguments (exit code 2); the message is followed by a pointer to --help.
class UsageFailure : public Failure {
  public:
    explicit UsageFailure(const std::string& message) : Failure(kExitUsage, message) {}
};

} // namespace vexa::cli
