#include "base/gbk.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace base {
namespace {

// One converter per direction and thread: opening one finds and loads the
// character set's tables, which cost more than converting a name.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (Opened()) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Opened() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    // In its initial state, whatever the last conversion left.
    iconv_t Reset() {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

Converter& ToUtf8() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

Converter& ToGbk() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

// Converts with iconv, replacing an unconvertible input unit by `replacement`
// and skipping `skipBytes` of input so that the conversion always finishes.
std::string Convert(Converter& converter, const char* from, std::string_view input,
                    std::string_view replacement, size_t skipBytes) {
    if (!converter.Opened()) return std::string(input);
    iconv_t cd = converter.Reset();
    std::string out;
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (a truncated trailing character): replace and go on.
            out.append(replacement);
            size_t skip = std::min(skipBytes, inLeft);
            if (errno == EILSEQ && std::strcmp(from, "UTF-8") == 0) {
                // Skip one whole UTF-8 character.
                unsigned char lead = static_cast<unsigned char>(*in);
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                skip = std::min(skip, inLeft);
            }
            in += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    return Convert(ToUtf8(), "GBK", gbk, "\xEF\xBF\xBD", 1);
}

std::string Utf8ToGbk(std::string_view utf8) {
    return Convert(ToGbk(), "UTF-8", utf8, "?", 1);
}

std::string_view FieldText(const char* bytes, size_t max) {
    size_t n = 0;
    while (n < max && bytes[n] != '\0') ++n;
    return {bytes, n};
}

}  // namespace base
