// Loads on the host's chunk thread show on the UI thread's idle pass (also under TSan).
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "editor/Editor.h"
#include "editor/preset_display_mailbox.h"
#include "tests/editor/preset_bar_support.h"
#include "tests/editor/preset_layer_support.h"

using namespace kt;
using namespace kt::test;

namespace {

// Keeps the latest text of each slot it is handed.
class LastShown : public PresetDisplay {
  public:
    void showPresetName(const char* name) override { field = name; }
    void setMenuEntry(int preset, const char* name) override { entries.at(preset) = name; }
    void selectMenuEntry(int preset) override { selected = preset; }
    std::string field;
    std::vector<std::string> entries = std::vector<std::string>(kNumPresets);
    int selected = -1;
};

TEST(PresetDisplayMailbox, DeliversWholeTextsOnlyAndTheLastOneWins) {
    PresetDisplayMailbox mailbox;
    LastShown shown;
    const std::string a(24, 'a'), b(24, 'b');
    std::atomic<bool> stop{false};
    auto writer = [&](const std::string& text) {
        while (!stop.load()) {
            mailbox.postName(text.c_str());
            mailbox.postMenuEntry(5, text.c_str());
        }
    };
    std::thread first(writer, a), second(writer, b);
    std::set<std::string> seen;
    for (int i = 0; i < 20000; ++i) {
        mailbox.deliver(shown);
        if (!shown.field.empty()) seen.insert(shown.field);
        if (!shown.entries[5].empty()) seen.insert(shown.entries[5]);
    }
    stop = true;
    first.join();
    second.join();
    for (const std::string& text : seen) EXPECT_TRUE(text == a || text == b) << text;

    mailbox.postName("The last one, cut after twenty-four");
    mailbox.postSelection(9);
    mailbox.postSelection(99);  // not an entry: ignored
    mailbox.deliver(shown);
    EXPECT_EQ(shown.field, "The last one, cut after ");
    EXPECT_EQ(shown.selected, 9);
    shown.selected = -1;
    mailbox.deliver(shown);  // nothing new
    EXPECT_EQ(shown.selected, -1);
}

class ChunkThreadTest : public InProcessTest {
  protected:
    void SetUp() override {
        original = plugin->getEditor();
        bar = new OffscreenBar<Editor>(plugin.get());  // becomes the effect's editor
        ASSERT_TRUE(bar->openOffscreen());
    }
    void TearDown() override {
        bar->closeOffscreen();
        plugin->setEditor(original);
        delete bar;
    }

    std::vector<unsigned char> chunkNamed(const std::string& prefix, int current) {
        for (int n = 0; n < kNumPresets; ++n)
            fx().preset(n).setName((prefix + " " + std::to_string(n)).c_str());
        fx().setPresetNo(current);
        void* data = nullptr;
        const int size = plugin->getChunk(&data, false);
        const auto* bytes = static_cast<unsigned char*>(data);
        return {bytes, bytes + size};
    }

    AEffEditor* original = nullptr;
    OffscreenBar<Editor>* bar = nullptr;
};

TEST_F(ChunkThreadTest, ChunksLoadedWhileTheWindowIdlesShowOnTheNextPass) {
    std::vector<unsigned char> first = chunkNamed("First", 3);
    std::vector<unsigned char> second = chunkNamed("Second", 11);
    fx().initPresets();
    std::atomic<bool> done{false};
    std::thread host([&] {
        char renamed[] = "Named by the host";
        for (int i = 0; i < 40; ++i) {
            auto& chunk = i % 2 ? second : first;
            EXPECT_EQ(plugin->setChunk(chunk.data(), static_cast<vst::int32>(chunk.size()), false),
                      0);
            if (i == 20) plugin->setProgramName(renamed);
        }
        done = true;
    });
    while (!done.load()) bar->idle();
    host.join();
    bar->idlePass();

    EXPECT_EQ(bar->menu()->getCurrentIndex(), 11);
    for (int n = 0; n < kNumPresets; ++n)
        EXPECT_EQ(std::string(bar->menu()->getEntryTitle(n)), "Second " + std::to_string(n));
    EXPECT_EQ(std::string(bar->name()->getText()), "Second 11");
}

}  // namespace
