#include "cli/json.h"

#include <cstdio>

namespace cli {

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_text += ", ";
        m_first.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    m_text += '{';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    m_text += '}';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    m_text += '[';
    m_first.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    m_text += ']';
    m_first.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
    BeforeValue();
    m_text += JsonString(name);
    m_text += ": ";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
    BeforeValue();
    m_text += JsonString(utf8);
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t value) {
    BeforeValue();
    m_text += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    m_text += "null";
    return *this;
}

JsonWriter& JsonWriter::Number(std::string_view text) {
    if (text.empty()) return Null();
    BeforeValue();
    m_text += text;
    return *this;
}

}  // namespace cli
