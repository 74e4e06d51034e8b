// A small writer of JSON text: objects, arrays, strings, numbers, booleans
// and null, with the commas and indentation in place. Strings are escaped
// and made valid UTF-8 (a byte that is not part of a UTF-8 sequence, as a
// file name may hold, becomes U+FFFD); numbers that are not finite are
// written as null, since JSON has no infinity.
#pragma once

#include <string>
#include <vector>

namespace kt {

class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The key of the next value in an object.
    JsonWriter& key(const std::string& name);
    JsonWriter& value(const std::string& text);
    JsonWriter& value(const char* text) { return value(std::string(text)); }
    JsonWriter& value(double number);
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    JsonWriter& null();

    // The document so far, ending with a newline once complete.
    std::string text() const;

  private:
    void beforeValue();
    void newLine();
    JsonWriter& open(char bracket, bool array);
    JsonWriter& close(char bracket);

    std::string out_;
    struct Level {
        bool array;
        bool empty;
    };
    std::vector<Level> levels_;
    bool afterKey_ = false;
};

// `text` as a JSON string literal, quotes included.
std::string jsonString(const std::string& text);

}  // namespace kt
