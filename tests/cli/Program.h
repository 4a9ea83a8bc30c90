// Runs `vexa` as its own process, as a script would, and collects its exit code and output.
#pragma once

#include <chrono>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

struct Ran {
    int exitCode = -1; // -1: killed by a signal, or not ended in time (see hung)
    bool hung = false; // still running at the safety limit; it was killed
    std::string out, err;
};

class Program {
  public:
    // Starts the program with the test's environment plus env (an empty value removes a variable).
    Program(const std::string& path, const std::vector<std::string>& args,
            const std::map<std::string, std::string>& env);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    void Signal(int signal);
    // Collects output until the program ends. limit only guards against a hang (the program is then
    // killed and the test fails on hung); it is not a timing expectation.
    Ran Wait(std::chrono::seconds limit = std::chrono::seconds(300));

  private:
    pid_t pid_ = -1;
    int outFd_ = -1, errFd_ = -1;
};
