// What the effect tells its host beyond the audio: the calls it makes to the
// host callback when its own editor moves a parameter or switches a preset.
// In the LV2 plug-in these arrive at the instance, which hands them to the
// one listener attached (an LV2 user interface turns them into port writes,
// so the host's controls and automation follow the editor).
//
// Threads: the calls come from the thread the editor runs on (the host's
// user-interface thread), except that a preset switch made by restoring the
// state calls displayChanged on the thread that restores; none comes from
// run().
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
    // The instance is being deleted while the listener is attached (a host
    // that cleans the plug-in up before its user interface): the listener
    // lets go of the effect and its editor now. Called on the deleting thread.
    virtual void instanceGone() = 0;

  protected:
    ~EffectListener() = default;
};

}  // namespace kt::lv2
