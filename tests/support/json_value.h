// A strict JSON reader for the tests of the command line's output: objects,
// arrays, strings (with every escape, \u included), numbers (kept as their
// text too), true, false and null. Anything else, or text after the value,
// fails the parse, so a test also catches output that is not JSON at all.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fixture {

class Json {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    // Nothing when `text` is not exactly one JSON value (blanks around it allowed).
    static std::optional<Json> Parse(const std::string& text);

    Kind GetKind() const { return m_kind; }
    bool IsNull() const { return m_kind == Kind::Null; }
    bool Has(const std::string& key) const { return m_kind == Kind::Object && m_object.count(key); }
    // Access that fails loudly (an empty null) rather than crash the test.
    const Json& operator[](const std::string& key) const;
    const Json& operator[](size_t index) const;
    size_t Size() const { return m_kind == Kind::Array ? m_array.size() : m_object.size(); }
    const std::vector<Json>& Array() const { return m_array; }
    const std::map<std::string, Json>& Object() const { return m_object; }

    bool Bool() const { return m_bool; }
    double Number() const { return m_number; }
    int64_t Int() const { return static_cast<int64_t>(std::strtoll(m_text.c_str(), nullptr, 10)); }
    // A number's text as printed ("10.07"), or a string's value.
    const std::string& Text() const { return m_text; }
    const std::string& Str() const { return m_text; }

private:
    friend class JsonReader;
    Kind m_kind = Kind::Null;
    bool m_bool = false;
    double m_number = 0;
    std::string m_text;
    std::vector<Json> m_array;
    std::map<std::string, Json> m_object;
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : m_s(text) {}

    std::optional<Json> Document() {
        auto value = Value();
        Blanks();
        if (!value || m_i != m_s.size()) return std::nullopt;
        return value;
    }

private:
    void Blanks() {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\n' || m_s[m_i] == '\r' ||
                                    m_s[m_i] == '\t'))
            ++m_i;
    }
    bool Literal(const char* word) {
        const std::string w(word);
        if (m_s.compare(m_i, w.size(), w) != 0) return false;
        m_i += w.size();
        return true;
    }
    std::optional<Json> Value() {
        Blanks();
        if (m_i >= m_s.size()) return std::nullopt;
        Json j;
        const char c = m_s[m_i];
        if (c == '{') return ObjectValue();
        if (c == '[') return ArrayValue();
        if (c == '"') {
            auto s = StringValue();
            if (!s) return std::nullopt;
            j.m_kind = Json::Kind::String;
            j.m_text = *s;
            return j;
        }
        for (const bool value : {true, false}) {
            if (!Literal(value ? "true" : "false")) continue;
            j.m_kind = Json::Kind::Bool;
            j.m_bool = value;
            return j;
        }
        if (Literal("null")) return j;
        return NumberValue();
    }
    std::optional<Json> NumberValue() {
        const size_t start = m_i;
        auto digits = [&] {
            const size_t from = m_i;
            while (m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9') ++m_i;
            return m_i > from;
        };
        if (m_i < m_s.size() && m_s[m_i] == '-') ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == '0') {
            ++m_i;
        } else if (!digits()) {
            return std::nullopt;
        }
        if (m_i < m_s.size() && m_s[m_i] == '.') {
            ++m_i;
            if (!digits()) return std::nullopt;
        }
        if (m_i < m_s.size() && (m_s[m_i] == 'e' || m_s[m_i] == 'E')) {
            ++m_i;
            if (m_i < m_s.size() && (m_s[m_i] == '+' || m_s[m_i] == '-')) ++m_i;
            if (!digits()) return std::nullopt;
        }
        Json j;
        j.m_kind = Json::Kind::Number;
        j.m_text = m_s.substr(start, m_i - start);
        j.m_number = std::strtod(j.m_text.c_str(), nullptr);
        return j;
    }
    static void AppendUtf8(std::string& out, uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    std::optional<std::string> StringValue() {
        ++m_i;  // the opening quote
        std::string out;
        while (m_i < m_s.size()) {
            const unsigned char c = static_cast<unsigned char>(m_s[m_i++]);
            if (c == '"') return out;
            if (c < 0x20) return std::nullopt;  // control characters must be escaped
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_i >= m_s.size()) return std::nullopt;
            const char e = m_s[m_i++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    if (m_i + 4 > m_s.size()) return std::nullopt;
                    const std::string hex = m_s.substr(m_i, 4);
                    if (hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                        return std::nullopt;
                    AppendUtf8(out, static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16)));
                    m_i += 4;
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        return std::nullopt;
    }
    std::optional<Json> ArrayValue() {
        ++m_i;
        Json j;
        j.m_kind = Json::Kind::Array;
        Blanks();
        if (m_i < m_s.size() && m_s[m_i] == ']') {
            ++m_i;
            return j;
        }
        while (true) {
            auto v = Value();
            if (!v) return std::nullopt;
            j.m_array.push_back(std::move(*v));
            Blanks();
            if (m_i >= m_s.size()) return std::nullopt;
            if (m_s[m_i] == ']') {
                ++m_i;
                return j;
            }
            if (m_s[m_i++] != ',') return std::nullopt;
        }
    }
    std::optional<Json> ObjectValue() {
        ++m_i;
        Json j;
        j.m_kind = Json::Kind::Object;
        Blanks();
        if (m_i < m_s.size() && m_s[m_i] == '}') {
            ++m_i;
            return j;
        }
        while (true) {
            Blanks();
            if (m_i >= m_s.size() || m_s[m_i] != '"') return std::nullopt;
            auto key = StringValue();
            if (!key || j.m_object.count(*key)) return std::nullopt;  // no key twice
            Blanks();
            if (m_i >= m_s.size() || m_s[m_i++] != ':') return std::nullopt;
            auto v = Value();
            if (!v) return std::nullopt;
            j.m_object.emplace(*key, std::move(*v));
            Blanks();
            if (m_i >= m_s.size()) return std::nullopt;
            if (m_s[m_i] == '}') {
                ++m_i;
                return j;
            }
            if (m_s[m_i++] != ',') return std::nullopt;
        }
    }

    const std::string& m_s;
    size_t m_i = 0;
};

inline std::optional<Json> Json::Parse(const std::string& text) { return JsonReader(text).Document(); }

inline const Json& Json::operator[](const std::string& key) const {
    static const Json kMissing;
    auto it = m_object.find(key);
    return it == m_object.end() ? kMissing : it->second;
}

inline const Json& Json::operator[](size_t index) const {
    static const Json kMissing;
    return index < m_array.size() ? m_array[index] : kMissing;
}

}  // namespace fixture
