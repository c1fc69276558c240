// modemsim: a V.253 voice modem on a pseudo-terminal, driven by control commands on standard input.
#include "modemsim/Simulator.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    modemsim::Options options;
    std::string error;
    if (!modemsim::parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "modemsim: %s\n", error.c_str());
        return 2;
    }
    modemsim::Simulator simulator(options);
    simulator.announce = [](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };
    // Each control line is acknowledged once it has run, so a driver can wait for it.
    simulator.executed = [] {
        std::printf("modemsim: done\n");
        std::fflush(stdout);
    };
    if (!simulator.open(error)) {
        std::fprintf(stderr, "modemsim: %s\n", error.c_str());
        return 1;
    }
    return simulator.run(STDIN_FILENO);
}
