// GBK <-> UTF-8. Data files and saved lists carry GBK text; everything shown or
// printed is UTF-8, converted once at that boundary.
#pragma once

#include <string>
#include <string_view>

namespace base {

// Bytes that are not valid GBK come out as U+FFFD; the conversion never fails.
std::string GbkToUtf8(std::string_view gbk);

// Characters GBK cannot hold come out as "?".
std::string Utf8ToGbk(std::string_view utf8);

// The bytes up to the first NUL, at most max bytes (fixed-width name fields).
std::string_view FieldText(const char* bytes, size_t max);

}  // namespace base
