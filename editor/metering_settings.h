// What the metering controls (the mode button, the storable buttons) ask of
// their editor besides parameter changes: the meter type and K scale, and
// storing the display settings as the user's defaults. User-interface thread.
#pragma once

#include "gui/CView.h"
#include "gui/VSTGUIEditorInterface.h"

namespace kt::ui {

class MeteringSettings {
  public:
    virtual void setMeterType(long type) = 0;
    virtual void setScale(long scale) = 0;
    virtual void saveTamorDefaults() = 0;

  protected:
    ~MeteringSettings() = default;
};

// The editor of the view's frame, when it offers these settings; null otherwise.
inline MeteringSettings* meteringSettingsOf(const CView* view) {
    return dynamic_cast<MeteringSettings*>(view->getEditor());
}

}  // namespace kt::ui
