// What a preset load asks the preset bar to show, handed from whichever thread
// ran the load to the user-interface thread, which alone touches the views.
//
// A load posts the name for the name field, titles for menu entries and the
// entry to select; the idle pass delivers whatever changed since the last
// delivery, the latest text of each. Posting never waits for the reader and
// allocates nothing: each text is a seqlock of three atomic words. Two posts
// to the same text from two threads take turns (one may spin for the few
// instructions of the other's copy); the audio thread never posts.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "presets/preset_codec.h"

namespace kt {

class PresetDisplayMailbox {
  public:
    static constexpr int kEntries = kNumPresets;
    static constexpr int kTextBytes = kPresetNameSize;  // longer texts are cut

    // Any thread but the audio thread.
    void postName(const char* name);
    void postMenuEntry(int entry, const char* title);
    void postSelection(int entry);

    // User-interface thread: hands what was posted since the last delivery (or
    // since forgetPending) to `display`: titles, then the selection, then the name.
    // A text being written at that moment is left for the next delivery.
    void deliver(PresetDisplay& display);
    // User-interface thread: counts everything posted so far as delivered (the
    // bar was just built from the presets themselves).
    void forgetPending();

  private:
    class Text {
      public:
        void post(const char* text);
        // The text when it changed since `seen`, which then moves on; false when
        // it did not or is being written.
        bool take(std::uint32_t& seen, std::string& out) const;
        std::uint32_t version() const { return sequence.load(std::memory_order_acquire); }

      private:
        static constexpr int kWords = kTextBytes / 8;
        std::atomic<std::uint32_t> sequence{0};  // odd while a post is copying
        std::array<std::atomic<std::uint64_t>, kWords> words{};
    };

    Text name;
    std::array<Text, kEntries> entries;
    std::atomic<std::uint32_t> selectionVersion{0};
    std::atomic<int> selection{0};

    // Read by the user-interface thread only.
    std::uint32_t seenName = 0;
    std::array<std::uint32_t, kEntries> seenEntries{};
    std::uint32_t seenSelection = 0;
};

}  // namespace kt
