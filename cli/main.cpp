// kavtamor: the command-line host of the Kav Tamor limiter module.
#include <cstdio>
#include <cstring>

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
    std::fprintf(out, "\nRun 'kavtamor COMMAND --help' for the options of a command.\n");
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
    for (const kt::Command& command : kt::commandTable()) {
        if (std::strcmp(command.name, name) == 0) return command.run(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "kavtamor: unknown command '%s'\n\n", name);
    printTopLevelHelp(stderr);
    return 2;
}
