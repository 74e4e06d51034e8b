// What every meter view shares: a left click asks the listener (the editor) to
// reset all meters; other clicks are left to others.
#pragma once

#include <cstdint>

#include "gui/CControl.h"

class CMeterControl : public CControl {
  public:
    CMeterControl(const CRect& size, CControlListener* listener, long tag,
                  CBitmap* background = nullptr);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

  protected:
    // The ms between the refresh tick of the previous draw and the latest one;
    // remembers the latest. Bars move with the meter feed's clock, not with
    // how often they are drawn.
    std::uint32_t takeElapsed();

    std::uint32_t ticks = 0;
    std::uint32_t prevTicks = 0;
};

// Converts a level in dB to pixels: trunc(perDb * (dB + offset) + 0.5) kept
// within 0..most (a level out of range or NaN gives the nearer end, NaN 0).
int levelPixels(double dB, double offset, double perDb, int most);

// Peak hold for a level bar: the hold time runs down by `elapsed`, then the
// level falls by 8.66 dB per second past its end; a higher peak takes over
// with a fresh 50 ms hold.
void holdAndFall(float& held, std::int32_t& holdMs, std::uint32_t elapsed, float peak);
// The same for a gain-reduction bar (levels in dB, 0 = no reduction): the
// reduction shrinks toward 0 at 30 dB per second; a deeper one takes over.
void holdAndRelease(float& held, std::int32_t& holdMs, std::uint32_t elapsed, float gain);
