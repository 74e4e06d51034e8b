#include "gui/CControl.h"

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/VSTGUIEditorInterface.h"

CControl::CControl(const CRect& size, CControlListener* listener, long tag, CBitmap* background)
    : CView(size), tag(tag), listener(listener) {
    if (background) setBackground(background);
}

void CControl::valueChanged() {
    if (listener) listener->valueChanged(this);
}

void CControl::beginEdit() {
    if (auto* editor = getEditor()) editor->beginEdit(tag);
}

void CControl::endEdit() {
    if (auto* editor = getEditor()) editor->endEdit(tag);
}

void CControl::bounceValue() {
    const float v = getValue();
    if (v > vmax)
        setValue(vmax);
    else if (v < vmin)
        setValue(vmin);
}

bool CControl::checkDefaultValue(CButtonState buttons) {
    if (buttons != (kControl | kLButton)) return false;
    beginEdit();
    setValue(defaultValue);
    valueChanged();
    endEdit();
    setDirty();
    return true;
}

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (!state) oldValue.store(getValue(), std::memory_order_relaxed);
}

bool CControl::isDirty() const {
    return CView::isDirty() || oldValue.load(std::memory_order_relaxed) != getValue();
}
