// Included only by the platform's X11 sources: X key events as VstKeyCode.
#pragma once

#include <X11/Xlib.h>

#include "vst/vst_abi.h"

namespace kt {

// The key of a KeyPress or KeyRelease event: printable ASCII in `character`,
// other keys as a virtual key code, modifiers as VST modifier bits.
vst::VstKeyCode keyCodeFromEvent(XKeyEvent& event);

}  // namespace kt
