// The tags of the editor's controls: parameter indices for the controls of a
// parameter, and the editor's own tags above them.
#pragma once

namespace kt::ui {

enum ControlTag : long {
    kTagOutput = 0,
    kTagDrive = 1,
    kTagTransient = 2,
    kTagRelease = 3,
    kTagTransShape = 4,
    kTagLink = 5,
    kTagOversample = 6,
    kTagDetectorOrder = 7,
    kTagPower = 8,
    kTagScale = 9,
    kTagBits = 10,
    kTagNoiseShape = 11,
    kTagCalibrate = 12,
    kTagLeveller = 13,
    kTagMeterOvs = 14,
    kTagAutoOut = 15,
    kTagQuantize = 16,
    kTagAutoblack = 17,
    kTagMeterType = 18,
    kTagAttZoom = 19,
    kTagAttShow = 20,
    kTagPostMeter = 21,
    kLastParameterTag = 21,
    kTagMeters = 27,       // every meter: a click resets them all
    kTagAttShowBit0 = 28,  // the three trace buttons, one bit of AttShow each
    kTagAttShowBit1 = 29,
    kTagAttShowBit2 = 30,
    kNumControlTags = 31,
};

}  // namespace kt::ui
