// The six value fields under the knobs: which parameter each shows, where it
// sits, its conversions, first text and colours.
#pragma once

#include "editor/CKavTextEdit.h"

enum class ValueField { Input, Output, Transient, Release, Leveller, Link };

// In the order the window adds them.
constexpr ValueField kValueFields[] = {ValueField::Input,     ValueField::Output,
                                       ValueField::Transient, ValueField::Release,
                                       ValueField::Leveller,  ValueField::Link};

// A new field (tag = its parameter index), drawn over `background` (the window's
// backdrop, taken at the field's own place). Its value is still to be set: the
// caller gives it the parameter's current value. User-interface thread.
CKavTextEdit* makeValueField(ValueField which, CControlListener* listener, CBitmap* background);
