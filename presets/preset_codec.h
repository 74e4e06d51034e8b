// The byte images of a preset store: preset and bank buffers (the body of the
// host chunk, of preset and bank files and of stored values), MIDI-map
// images, and the readers of the current and the two old layouts.
//
// Every reader takes the length of the data it is given and never reads past
// it: records are read only while a whole record lies inside the data. Data
// with a value outside [0, 1] (or NaN) is rejected whole: the presets it
// touched are restored and nothing is applied.
//
// Threads: the chunk runs the bank writer and reader on whichever thread the
// host uses for it; everything else runs on the user-interface thread.
#pragma once

#include <memory>

#include "presets/preset_image.h"
#include "presets/preset_record.h"

class CPresetSystemEffect;

namespace kt {

// What a load shows in the editor's preset bar while its window is open.
class PresetDisplay {
  public:
    virtual void showPresetName(const char* name) = 0;
    virtual void setMenuEntry(int preset, const char* name) = 0;
    virtual void selectMenuEntry(int preset) = 0;

  protected:
    ~PresetDisplay() = default;
};

// A display for stores without a window: shows nothing.
PresetDisplay& noPresetDisplay();

class PresetImageCodec {
  public:
    PresetImageCodec(CPresetSystemEffect& store, PresetDisplay& display)
        : store(store), display(display) {}

    // Writers: allocate an image (freed by the caller with delete[]) and
    // answer its length.
    int presetToBuffer(char** out);
    int bankToBuffer(char** out);
    int midiToBuffer(char** out);

    // Readers of a current-layout body. The header's words are in the
    // machine's order; the body's are reversed when swapped. Each answers
    // whether it took the data. A preset goes into the current preset.
    bool bufferToPreset(const char* body, int length, const newpresetheader* header, bool swapped);
    bool bufferToBank(const char* body, int length, const newpresetheader* header, bool swapped);
    bool bufferToMidi(const char* body, int length, const newpresetheader* header, bool swapped);
    // Readers of the old layouts; data is what follows the identifier and
    // kind byte.
    bool bufferToPresetOld(const char* data, int length, bool swapped, int values);
    bool bufferToBankOld(const char* data, int length, bool swapped, int presets, int values);
    bool bufferToMidiOld(const char* data, int length, bool swapped, int values);

    // Whole images as files and stored values hold them: the byte-order test
    // (inverted when reversed), then the kind byte chooses the reader.
    bool loadPresetImage(const unsigned char* data, long length, bool reversed);
    bool loadBankImage(const unsigned char* data, long length, bool reversed);

    // Shows preset n in the bar and applies it.
    void showAppliedPreset(int n);

    CPresetSystemEffect& presetStore() { return store; }

  private:
    void applyLoadedPreset(int c);

    CPresetSystemEffect& store;
    PresetDisplay& display;
};

// A copy of the whole bank, to undo a load that is refused part-way.
class BankCopy {
  public:
    explicit BankCopy(CPresetSystemEffect& fx);
    void restore();

  private:
    CPresetSystemEffect& fx;
    std::unique_ptr<PresetRecord[]> presets;
};

// Reads one block of an old layout (a 24-byte name and `values` raw values
// in the writer's order) into preset n, after resetting it to the template.
// false when a value lies outside [0, 1]; the preset is then left half-read
// for the caller to restore.
bool readOldPresetBlock(CPresetSystemEffect& fx, int n, const unsigned char* block, int values,
                        bool swapped);

}  // namespace kt
