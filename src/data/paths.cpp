#include "data/paths.h"


namespace data {

DataPaths BuildDataPaths(const std::string& root) {
    DataPaths p;
    p.root = root.empty() ? "./" : root;
    if (p.root.back() != '/') p.root += '/';
    p.settings = p.root + "MKDAT/Inif2.DAT";
    p.codeTable = p.root + "MKDAT/MKCODE.DAT";
    p.exRights = p.root + "MKDAT/MKCQ.DAT";
    p.shPattern = p.root + "MKDAY/SH/*.day";
    p.szPattern = p.root + "MKDAY/SZ/*.day";
    p.shFolder = p.root + "MKDAY/SH/";
    p.szFolder = p.root + "MKDAY/SZ/";
    p.examples = p.root + "MKDAT/DEMOD.TXT";
    p.report = p.root + "MKDAT/DEMO_Find.TXT";
    p.sectorLibrary = p.root + "MKDAT/BKLIB.TXT";
    p.pictureTemplate = p.root + "MKDAT/mk0102.jpg";
    p.listFolder = p.root + "XG/";
    p.lockFile = p.root + ".bkqy.lock";
    return p;
}

bool IsShenzhenCode(uint32_t code) { return code < 600'000; }

char MarketLetter(uint32_t code) { return IsShenzhenCode(code) ? 'Z' : 'H'; }

std::string CodeText(uint32_t code) {
    // Six digits at least; by hand rather than with a format, as every
    // day-file path of a scan needs one.
    char text[10];
    char* const end = text + sizeof text;
    char* p = end;
    do {
        *--p = static_cast<char>('0' + code % 10);
        code /= 10;
    } while (code != 0);
    while (end - p < 6) *--p = '0';
    return std::string(p, end);
}

std::optional<uint32_t> ParseCodeText(std::string_view text) {
    if (text.empty() || text.size() > 6) return std::nullopt;
    uint32_t code = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + static_cast<uint32_t>(c - '0');
    }
    return code;
}

std::string DayFilePath(const DataPaths& paths, uint32_t code) {
    return (IsShenzhenCode(code) ? paths.szFolder : paths.shFolder) + DayFileName(code);
}

std::string DayFileName(uint32_t code) { return CodeText(code) + ".day"; }

bool IsIndexCode(uint32_t code) {
    return code == kShanghaiIndexCode || code == kShenzhenIndexCode ||
           code == kChiNextIndexCode || code == kSectorTrendCode;
}

}  // namespace data
