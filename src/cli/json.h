// JSON output of the commands: one writer for all of them, so every command
// escapes, separates and spells numbers the same way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// A JSON string literal of UTF-8 text; quotes, backslashes and every control
// character (U+0000..U+001F and DEL) are escaped.
std::string JsonString(std::string_view text);

// Builds one JSON value as text: {"a": 1, "b": [2, 3]}. Commas come by
// themselves; keys and values alternate inside objects.
class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view name);

    JsonWriter& String(std::string_view utf8);
    JsonWriter& Int(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // A number already spelt as JSON (see numbers.h); empty text is null.
    JsonWriter& Number(std::string_view text);

    // Key and value in one step.
    template <class T>
    JsonWriter& Field(std::string_view name, const T& value) {
        Key(name);
        return Value(value);
    }
    JsonWriter& Value(std::string_view text) { return String(text); }
    JsonWriter& Value(const std::string& text) { return String(text); }
    JsonWriter& Value(const char* text) { return String(text); }
    JsonWriter& Value(bool value) { return Bool(value); }
    JsonWriter& Value(int value) { return Int(value); }
    JsonWriter& Value(long value) { return Int(value); }
    JsonWriter& Value(long long value) { return Int(value); }
    JsonWriter& Value(unsigned value) { return Int(value); }
    JsonWriter& Value(unsigned long value) { return Int(static_cast<int64_t>(value)); }
    JsonWriter& Value(unsigned long long value) { return Int(static_cast<int64_t>(value)); }
    template <class T>
    JsonWriter& Value(const std::optional<T>& value) {
        return value ? Value(*value) : Null();
    }
    template <class T>
    JsonWriter& Value(const std::vector<T>& values) {
        BeginArray();
        for (const T& v : values) Value(v);
        return EndArray();
    }

    // The text with a final line break, as a command prints it.
    std::string Line() const { return m_text + "\n"; }
    const std::string& Text() const { return m_text; }

private:
    void BeforeValue();

    std::string m_text;
    std::vector<bool> m_first;  // per open container: nothing written in it yet
    bool m_afterKey = false;
};

}  // namespace cli
