#include "editor/preset_display_mailbox.h"

#include <cstring>
#include <thread>

namespace kt {

void PresetDisplayMailbox::Text::post(const char* text) {
    char bytes[kTextBytes] = {};
    if (text) std::memcpy(bytes, text, strnlen(text, kTextBytes));
    std::uint64_t packed[kWords];
    std::memcpy(packed, bytes, sizeof packed);

    // Claim the text: from an even sequence to the odd one after it.
    // The claim is an acquire, so the words are not written before it.
    std::uint32_t s = sequence.load(std::memory_order_relaxed);
    for (;;) {
        if (s & 1u) {
            std::this_thread::yield();
            s = sequence.load(std::memory_order_relaxed);
        } else if (sequence.compare_exchange_weak(s, s + 1, std::memory_order_acquire,
                                                  std::memory_order_relaxed)) {
            break;
        }
    }
    // Release: a reader that sees one of these words also sees the odd sequence.
    for (int i = 0; i < kWords; ++i) words[i].store(packed[i], std::memory_order_release);
    sequence.store(s + 2, std::memory_order_release);
}

bool PresetDisplayMailbox::Text::take(std::uint32_t& seen, std::string& out) const {
    const std::uint32_t before = sequence.load(std::memory_order_acquire);
    if ((before & 1u) || before == seen) return false;
    std::uint64_t packed[kWords];
    // Acquire: the second look at the sequence comes after the words, and sees a
    // post that wrote any of them.
    for (int i = 0; i < kWords; ++i) packed[i] = words[i].load(std::memory_order_acquire);
    if (sequence.load(std::memory_order_relaxed) != before) return false;
    char bytes[kTextBytes];
    std::memcpy(bytes, packed, sizeof bytes);
    out.assign(bytes, strnlen(bytes, kTextBytes));
    seen = before;
    return true;
}

void PresetDisplayMailbox::postName(const char* text) {
    name.post(text);
}

void PresetDisplayMailbox::postMenuEntry(int entry, const char* title) {
    if (entry >= 0 && entry < kEntries) entries[static_cast<std::size_t>(entry)].post(title);
}

void PresetDisplayMailbox::postSelection(int entry) {
    if (entry < 0 || entry >= kEntries) return;
    selection.store(entry, std::memory_order_relaxed);
    selectionVersion.fetch_add(1, std::memory_order_release);
}

void PresetDisplayMailbox::deliver(PresetDisplay& display) {
    std::string text;
    for (int i = 0; i < kEntries; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        if (entries[slot].take(seenEntries[slot], text)) display.setMenuEntry(i, text.c_str());
    }
    const std::uint32_t version = selectionVersion.load(std::memory_order_acquire);
    if (version != seenSelection) {
        seenSelection = version;
        display.selectMenuEntry(selection.load(std::memory_order_relaxed));
    }
    if (name.take(seenName, text)) display.showPresetName(text.c_str());
}

void PresetDisplayMailbox::forgetPending() {
    // An odd sequence (a post copying right now) stays unseen and is delivered
    // once complete.
    auto settled = [](std::uint32_t v) { return v & ~1u; };
    seenName = settled(name.version());
    for (std::size_t i = 0; i < entries.size(); ++i) seenEntries[i] = settled(entries[i].version());
    seenSelection = selectionVersion.load(std::memory_order_acquire);
}

}  // namespace kt
