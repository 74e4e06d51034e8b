#include "platform/x11_keys.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include "vst/vst_keys.h"

namespace kt {
namespace {

struct KeyMapping {
    KeySym sym;
    unsigned char virt;
};

// X key symbols that stand for a virtual key; keypad keys map like their twins.
constexpr KeyMapping kVirtualKeys[] = {
    {XK_BackSpace, VKEY_BACK},
    {XK_Tab, VKEY_TAB},
    {XK_Clear, VKEY_CLEAR},
    {XK_Return, VKEY_RETURN},
    {XK_Pause, VKEY_PAUSE},
    {XK_Escape, VKEY_ESCAPE},
    {XK_space, VKEY_SPACE},
    {XK_End, VKEY_END},
    {XK_KP_End, VKEY_END},
    {XK_Home, VKEY_HOME},
    {XK_KP_Home, VKEY_HOME},
    {XK_Left, VKEY_LEFT},
    {XK_KP_Left, VKEY_LEFT},
    {XK_Up, VKEY_UP},
    {XK_KP_Up, VKEY_UP},
    {XK_Right, VKEY_RIGHT},
    {XK_KP_Right, VKEY_RIGHT},
    {XK_Down, VKEY_DOWN},
    {XK_KP_Down, VKEY_DOWN},
    {XK_Page_Up, VKEY_PAGEUP},
    {XK_KP_Page_Up, VKEY_PAGEUP},
    {XK_Page_Down, VKEY_PAGEDOWN},
    {XK_KP_Page_Down, VKEY_PAGEDOWN},
    {XK_Select, VKEY_SELECT},
    {XK_Print, VKEY_PRINT},
    {XK_KP_Enter, VKEY_ENTER},
    {XK_Insert, VKEY_INSERT},
    {XK_KP_Insert, VKEY_INSERT},
    {XK_Delete, VKEY_DELETE},
    {XK_KP_Delete, VKEY_DELETE},
    {XK_Help, VKEY_HELP},
};

unsigned char virtualKey(KeySym sym) {
    for (const auto& k : kVirtualKeys)
        if (k.sym == sym) return k.virt;
    return 0;
}

}  // namespace

vst::VstKeyCode keyCodeFromEvent(XKeyEvent& event) {
    char text[8] = {};
    KeySym sym = NoSymbol;
    const int n = XLookupString(&event, text, sizeof text, &sym, nullptr);
    vst::VstKeyCode key{};
    key.virt = virtualKey(sym);
    if (key.virt == 0 && n == 1 && text[0] >= 32 && text[0] < 127) key.character = text[0];
    if (key.virt == VKEY_SPACE) key.character = ' ';
    if (event.state & ShiftMask) key.modifier |= MODIFIER_SHIFT;
    if (event.state & Mod1Mask) key.modifier |= MODIFIER_ALTERNATE;
    if (event.state & ControlMask) key.modifier |= MODIFIER_CONTROL;
    return key;
}

}  // namespace kt
