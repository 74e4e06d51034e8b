#include <cstdio>
#include "cli/command_table.h"
namespace kt {
int runDemoMaterialCommand(int, char**) { std::fputs("not yet\n", stderr); return 1; }
}
