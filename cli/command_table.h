// The commands of kavtamor. Each command lives in a file of its own and is
// entered with argv[0] set to its name; a new command is one more row in
// command_table.cpp.
#pragma once

#include <span>

namespace kt {

struct Command {
    const char* name;     // first word on the command line
    const char* summary;  // one line for the top-level help
    int (*run)(int argc, char** argv);
};

std::span<const Command> commandTable();

// The commands of this folder.
int runInfoCommand(int argc, char** argv);
int runPresetsCommand(int argc, char** argv);
int runRenderCommand(int argc, char** argv);
int runBenchCommand(int argc, char** argv);
int runDemoMaterialCommand(int argc, char** argv);
int runBankCommand(int argc, char** argv);
int runEditorCommand(int argc, char** argv);

}  // namespace kt
