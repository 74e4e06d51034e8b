// The text kavtamor writes for machines and for people: JSON that any
// parser takes, and progress lines that come out whole from many threads.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/json_writer.h"
#include "cli/progress_board.h"

namespace kt {
namespace {

TEST(JsonWriterTest, EscapesTextAndWritesNoNumberJsonLacks) {
    JsonWriter json;
    json.beginObject();
    json.key("name").value(
        std::string("a \"quoted\" \\ path\n\twith \x01 and \xff bytes, caf\xc3\xa9"));
    json.key("levels").beginArray().value(-14.25).value(-INFINITY).value(NAN).value(3).endArray();
    json.key("empty").beginObject().endObject();
    json.key("flags").beginArray().value(true).null().endArray();
    json.endObject();
    EXPECT_EQ(json.text(),
              "{\n"
              "  \"name\": \"a \\\"quoted\\\" \\\\ path\\n\\twith \\u0001 and \\ufffd bytes, "
              "caf\xc3\xa9\",\n"
              "  \"levels\": [\n    -14.25,\n    null,\n    null,\n    3\n  ],\n"
              "  \"empty\": {},\n"
              "  \"flags\": [\n    true,\n    null\n  ]\n"
              "}\n");
    // Overlong forms and surrogates are not UTF-8 either.
    EXPECT_EQ(jsonString("\xc0\xaf \xed\xa0\x80"), "\"\\ufffd\\ufffd \\ufffd\\ufffd\\ufffd\"");
}

TEST(ProgressBoardTest, LinesFromManyThreadsComeOutWhole) {
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    {
        ProgressBoard board(log, false);
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&board, t] {
                const int slot = board.open("file " + std::to_string(t));
                for (int i = 0; i < 200; ++i) {
                    board.show(slot, "render 1", i / 200.0);
                    board.say("thread " + std::to_string(t) + " line " + std::to_string(i) +
                              std::string(100, '.'));
                }
                board.close(slot);
            });
        }
        for (std::thread& thread : threads) thread.join();
    }
    std::rewind(log);
    char line[512];
    int lines = 0;
    while (std::fgets(line, sizeof line, log) != nullptr) {
        int thread = -1, number = -1;
        ASSERT_EQ(std::sscanf(line, "thread %d line %d", &thread, &number), 2) << line;
        EXPECT_EQ(std::string(line).find(std::string(100, '.') + "\n"),
                  std::string(line).size() - 101)
            << line;
        ++lines;
    }
    EXPECT_EQ(lines, 800);
    std::fclose(log);
}

}  // namespace
}  // namespace kt
