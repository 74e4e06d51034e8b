// The tags of the editor's controls: parameter indices for the controls of a
// parameter, and the editor's own tags above them.
#pragma once

#include "engine/parameters.h"

namespace kt::ui {

enum ControlTag : long {
    kTagOutput = kt::kOutput,
    kTagDrive = kt::kDrive,
    kTagTransient = kt::kTransient,
    kTagRelease = kt::kRelease,
    kTagTransShape = kt::kTransShape,
    kTagLink = kt::kLink,
    kTagOversample = kt::kOversample,
    kTagDetectorOrder = kt::kDetectorOrder,
    kTagPower = kt::kPower,
    kTagScale = kt::kScale,
    kTagBits = kt::kBits,
    kTagNoiseShape = kt::kNoiseShape,
    kTagCalibrate = kt::kCalibrate,
    kTagLeveller = kt::kLeveller,
    kTagMeterOvs = kt::kMeterOvs,
    kTagAutoOut = kt::kAutoOut,
    kTagQuantize = kt::kQuantize,
    kTagAutoblack = kt::kAutoblack,
    kTagMeterType = kt::kMeterType,
    kTagAttZoom = kt::kAttZoom,
    kTagAttShow = kt::kAttShow,
    kTagPostMeter = kt::kPostMeter,
    kLastParameterTag = kt::kNumEngineParams - 1,
    kTagMeters = 27,       // every meter: a click resets them all
    kTagAttShowBit0 = 28,  // the three trace buttons, one bit of AttShow each
    kTagAttShowBit1 = 29,
    kTagAttShowBit2 = 30,
    kNumControlTags = 31,
};

}  // namespace kt::ui
