// kavtamor: the command-line host of the Kav Tamor limiter module.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

#include "cli/command_table.h"

namespace {

void printTopLevelHelp(std::FILE* out) {
    std::fprintf(out,
                 "Usage: kavtamor COMMAND [OPTIONS] [ARGUMENTS]\n"
                 "\n"
                 "Loads the Kav Tamor VST 2.4 module (KavTamor.so beside this program, or the\n"
                 "one named with --plugin PATH) and drives it like a host.\n"
                 "\n"
                 "Commands:\n");
    for (const kt::Command& command : kt::commandTable())
        std::fprintf(out, "  %-15s %s\n", command.name, command.summary);
    std::fprintf(out,
                 "\nRun 'kavtamor COMMAND --help' for the options of a command, 'kavtamor\n"
                 "--version' for the version.\n");
}

// Runs a command; anything it throws is reported as a failure, never left
// to end the process.
int runCommand(const kt::Command& command, int argc, char** argv) {
    try {
        return command.run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "kavtamor %s: out of memory\n", command.name);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kavtamor %s: %s\n", command.name, e.what());
    } catch (...) {
        std::fprintf(stderr, "kavtamor %s: failed with an unknown error\n", command.name);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printTopLevelHelp(stderr);
        return 2;
    }
    const char* name = argv[1];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0 ||
        std::strcmp(name, "help") == 0) {
        printTopLevelHelp(stdout);
        return 0;
    }
    if (std::strcmp(name, "--version") == 0) {
        std::printf("kavtamor %s, the command-line host of the Kav Tamor module\n", KT_VERSION);
        return 0;
    }
    for (const kt::Command& command : kt::commandTable()) {
        if (std::strcmp(command.name, name) == 0) return runCommand(command, argc - 1, argv + 1);
    }
    std::fprintf(stderr, "kavtamor: unknown command '%s'\n\n", name);
    printTopLevelHelp(stderr);
    return 2;
}
