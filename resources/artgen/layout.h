// Where the editor places its views (left, top, right, bottom in frame pixels) and the
// bitmap sizes that follow from how each view copies from its bitmap. The background is laid
// out around these rectangles so that no legend is covered by a view.
#pragma once

namespace kt::art {

struct Box {
    int left, top, right, bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

constexpr int kEditorWidth = 524;
constexpr int kEditorHeight = 462;

// Main window views.
constexpr Box kDetectorOrder{44, 40, 77, 59};
constexpr Box kOversample{81, 40, 114, 59};
constexpr Box kModeButton{223, 305, 258, 367};
constexpr Box kQuantize{412, 40, 445, 59};
constexpr Box kAutoblack{449, 40, 482, 59};
constexpr Box kBits{412, 72, 445, 103};
constexpr Box kNoiseShape{449, 72, 482, 103};
constexpr Box kCalibrate{269, 335, 302, 366};
constexpr Box kAttZoom{269, 265, 302, 284};
constexpr Box kAttShow1{224, 265, 257, 284};
constexpr Box kAttShow2{224, 230, 257, 249};
constexpr Box kAttShowL{269, 230, 302, 249};
constexpr Box kTransientKnob{55, 169, 105, 217};
constexpr Box kReleaseKnob{56, 267, 105, 314};
constexpr Box kLevellerKnob{421, 169, 469, 216};
constexpr Box kLinkKnob{421, 267, 469, 314};
constexpr Box kSpeedSwitch{38, 121, 128, 146};
constexpr Box kPower{245, 400, 280, 435};
constexpr Box kDriveKnob{52, 349, 108, 404};
constexpr Box kOutputKnob{417, 349, 475, 405};
constexpr Box kAutoOut{394, 368, 412, 392};
constexpr Box kPostMeter{116, 368, 134, 392};
constexpr Box kInfo{224, 370, 301, 401};
constexpr Box kDriveField{43, 409, 117, 427};
constexpr Box kOutputField{410, 409, 484, 427};
constexpr Box kTransientField{45, 221, 119, 239};
constexpr Box kReleaseField{45, 319, 119, 337};
constexpr Box kLevellerField{411, 221, 485, 239};
constexpr Box kLinkField{411, 319, 485, 337};
constexpr Box kMeterOvs{269, 307, 302, 326};
constexpr Box kMeterIn{147, 38, 207, 408};
constexpr Box kMeterOut{319, 38, 379, 406};
constexpr Box kMeterGR{233, 39, 291, 192};
constexpr Box kReadoutIn{131, 415, 224, 426};
constexpr Box kReadoutOut{303, 415, 396, 426};
constexpr Box kReadoutGR{217, 199, 310, 210};

// Level meter bars and legend strips (bars from y 42 at 0 pixels up to 402).
constexpr int kBarTop = 42;
constexpr int kBarBottom = 402;
constexpr Box kInBarL{150, 42, 165, 402};
constexpr Box kInBarR{191, 42, 206, 402};
constexpr Box kOutBarL{320, 42, 335, 402};
constexpr Box kOutBarR{363, 42, 378, 402};
constexpr Box kInLegend{164, 38, 191, 405};
constexpr Box kOutLegend{335, 38, 362, 405};

// Gain-reduction bars inside the gain-reduction view.
constexpr Box kGrBarL{234, 42, 249, 187};
constexpr Box kGrBarR{275, 42, 290, 187};

// Preset bar, along the bottom edge.
constexpr int kBarStripTop = 447;
constexpr Box kNameField{194, 447, 318, 461};
constexpr Box kPresetMenu{320, 448, 333, 460};
constexpr Box kRocker{340, 447, 370, 460};
constexpr Box kLoadBank{72, 447, 89, 462};
constexpr Box kSaveBank{22, 447, 39, 462};
constexpr Box kDefaultBank{39, 447, 71, 460};
constexpr Box kLoadPreset{166, 447, 183, 462};
constexpr Box kSavePreset{104, 447, 121, 462};
constexpr Box kDefaultPreset{122, 447, 166, 460};
constexpr Box kRecallA{421, 447, 438, 462};
constexpr Box kStoreA{388, 447, 405, 462};
constexpr Box kRecallB{486, 447, 503, 462};
constexpr Box kStoreB{452, 447, 469, 462};
constexpr Box kManual{510, 449, 521, 458};

// Peak scale: 6 pixels per dB, +12 dBFS at the top of the bar, 0 dBFS 72 pixels below it.
constexpr int kPixelsPerDb = 6;
// The peak bar images are read 6 pixels below the frame position (source y = frame y + 6),
// so 0 dBFS (frame y 114) sits at source y 120 and the bar spans source y 48..408.
constexpr int kPeakSourceShift = 6;
constexpr int kPeakBarHeight = 408;
// K bars are read at source y = frame y + s with s = 30, 18 or -18 for K-12, K-14 and K-20,
// which puts each scale's 0 dBr on source y 144; the reads span source y 24..432.
constexpr int kKReference = 144;
constexpr int kKBarHeight = 432;
constexpr int kBarImageWidth = 16;

}  // namespace kt::art
