// What the effect tells its host beyond the audio: the calls it makes to the
// host callback when its own editor moves a parameter or switches a preset.
// In the LV2 plug-in these arrive at the instance, which hands them to the
// one listener set (an LV2 user interface turns them into port writes, so
// the host's controls and automation follow the editor).
//
// Threads: the calls come from the thread the editor runs on (the host's
// user-interface thread); none comes from run().
#pragma once

namespace kt::lv2 {

class EffectListener {
  public:
    // The editor set parameter index (0..21 are the control ports) to value
    // (audioMasterAutomate).
    virtual void parameterAutomated(int index, float value) = 0;
    // A gesture on parameter index begins or ends (audioMasterBeginEdit,
    // audioMasterEndEdit).
    virtual void editBegun(int index) = 0;
    virtual void editEnded(int index) = 0;
    // Many values changed at once, as when a preset is applied
    // (audioMasterUpdateDisplay): every parameter should be read again.
    virtual void displayChanged() = 0;

  protected:
    ~EffectListener() = default;
};

}  // namespace kt::lv2
