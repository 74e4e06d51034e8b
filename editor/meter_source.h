// Where the editor reads the meter feed: implemented by the effect, so that the
// editor needs no engine header.
#pragma once

namespace kt {

class MeterSource {
  public:
    // User-interface thread, from the editor's idle pass: the ten readings
    // (linear) since the last call. Any pointer may be null.
    virtual void getMeters(float* inPeakL, float* inPeakR, float* outPeakL, float* outPeakR,
                           float* inRmsL, float* inRmsR, float* outRmsL, float* outRmsR,
                           float* gainL, float* gainR) = 0;

  protected:
    ~MeterSource() = default;
};

}  // namespace kt
