// kavtamor editor: the module's editor in a window of its own.
#pragma once

namespace kt {

int runEditorCommand(int argc, char** argv);

}  // namespace kt
