// A press on the centre of a stepper or of the meter mode button: moving the
// pointer up raises a value by 0.015 a pixel, and a move of more than 2 pixels
// at once makes the press a drag; one without is a click when released.
#pragma once

#include <algorithm>
#include <cmath>

#include "gui/geometry.h"

namespace kt::ui {

class CentreDrag {
  public:
    void start(CCoord y) {
        lastY = y;
        click = true;
    }

    // The value moved by the pointer's travel since the last call, within 0..1.
    float follow(float value, CCoord y) {
        const CCoord delta = lastY - y;
        if (std::fabs(delta) > 2) click = false;
        lastY = y;
        return std::clamp(value + 0.015f * static_cast<float>(delta), 0.0f, 1.0f);
    }

    // On release: whether the press stayed a click. Ends the press.
    bool endClick() {
        const bool wasClick = click;
        click = false;
        return wasClick;
    }

  private:
    CCoord lastY = 0;
    bool click = false;
};

}  // namespace kt::ui
