#include "picking/catalogue.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <span>
#include <vector>

namespace picking {
namespace {

// The titles of each list: the item number, the code as the list writes it
// and the title. b52-b57 carry the letters "bc" in their code; lookups go by
// item number, so the display composes "b53" itself.
struct CatalogueItem {
    int number;
    std::string_view code;
    std::string_view title;
};
constexpr CatalogueItem kArticles[] = {
    {1, "1", "认清股市实质，时刻警醒(1)"},
    {2, "2", "认清股市实质，时刻警醒(2)"},
    {3, "3", "投机还是投资？是大问题(1)"},
    {4, "4", "投机还是投资？是大问题(2)"},
    {5, "5", "炒股致胜的关键——选股(1)"},
    {6, "6", "炒股致胜的关键——选股(2)"},
    {7, "7", "战胜股市，需要逆向思维(1)"},
    {8, "8", "战胜股市，需要逆向思维(2)"},
    {9, "9", "迈向成功第一步——止损(1)"},
    {10, "10", "迈向成功第二步——止损(2)"},
};

constexpr CatalogueItem kGroupAItems[] = {
    {1, "a1", "根据股价(收盘价)选取个股"},
    {2, "a2", "根据流通股本大小选取个股"},
    {3, "a3", "根据Ｎ日内的涨幅选取个股"},
    {4, "a4", "根据Ｎ日内的跌幅选取个股"},
    {5, "a5", "根据Ｎ日内换手率选取个股"},
    {6, "a6", "成交量较前Ｎ日放大(缩小)"},
    {7, "a7", "选取多条均线粘合的个股"},
    {8, "a8", "收盘价上穿Ｎ日均线的个股"},
    {9, "a9", "短期均线和中长期均线金叉"},
};

constexpr CatalogueItem kGroupBItems[] = {
    {1, "b1", "向上突破Ｎ日内高点的个股"},
    {2, "b2", "Ｎ日内做平台整理的个股"},
    {3, "b3", "向上突破Ｎ日内平台的个股"},
    {4, "b4", "Ｎ日内做箱体整理的个股"},
    {5, "b5", "向上突破Ｎ日内箱体的个股"},
    {6, "b6", "选取大盘暴跌逆势上涨个股"},
    {7, "b7", "个股普跌逆势上涨的个股"},
    {8, "b8", "新增底部选股方法之8"},
    {9, "b9", "选取均线向上多头排列个股"},
    {10, "b10", "5条常规均线粘合向上突破"},
    {11, "b11", "任意5条均线粘合向上突破"},
    {12, "b12", "选取均线出水芙蓉个股"},
    {13, "b13", "选取均线呈金蜘蛛的个股"},
    {14, "b14", "选取均线出现银山谷个股"},
    {15, "b15", "均线洗盘死叉后金叉个股"},
    {16, "b16", "收盘价跌破均线重返均线"},
    {17, "b17", "成交量为Ｎ日均量若干倍"},
    {18, "b18", "N日相对强弱指标RSI选股"},
    {19, "b19", "Ｎ日乖离率选取强势个股"},
    {20, "b20", "Ｎ日乖离率选取超跌个股"},
    {21, "b21", "随机指标KDJ的K值选超跌股"},
    {22, "b22", "随机指标KDJ的J值选超跌股"},
    {23, "b23", "随机指标KDJ金叉选潜力股"},
    {24, "b24", "MACD之柱状刚刚翻红个股"},
    {25, "b25", "MACD在零轴上方金叉个股"},
    {26, "b26", "MACD在零轴下方金叉个股"},
    {27, "b27", "收盘价突破布林中轨个股"},
    {28, "b28", "布林通道收窄到极小范围"},
    {29, "b29", "触及布林下轨后反弹个股"},
    {30, "b30", "连续M日收盘低于布林下轨"},
    {31, "b31", "涨升途中仙人指路选股"},
    {32, "b32", "涨升途中上涨揉搓线选股"},
    {33, "b33", "涨升途中向上跳空缺口选股"},
    {34, "b34", "涨升途中上涨两颗星选股"},
    {35, "b35", "涨升途中上升三法选股"},
    {36, "b36", "涨升途中上升三连击选股"},
    {37, "b37", "涨升途中徐缓上升选股"},
    {38, "b38", "涨升途中多方炮选股"},
    {39, "b39", "涨升途中上升两头红选股"},
    {40, "b40", "待扩展方法40"},
    {41, "b41", "底部大阳线选股"},
    {42, "b42", "底部放量大阴线选股"},
    {43, "b43", "底部曙光初现选股"},
    {44, "b44", "底部旭日东升选股"},
    {45, "b45", "底部阳包阴选股"},
    {46, "b46", "底部阴孕阳选股"},
    {47, "b47", "底部向上跳空缺口选股"},
    {48, "b48", "底部红三兵选股"},
    {49, "b49", "底部上涨镊子线选股"},
    {50, "b50", "底部低位连阳选股"},
    {51, "b51", "待扩展选股方法51"},
    {52, "bc52", "待扩展选股方法52"},
    {53, "bc53", "大跌之后金针探底选股"},
    {54, "bc54", "大跌之后双针探底选股"},
    {55, "bc55", "大跌之后跌势尽头线选股"},
    {56, "bc56", "大跌之后希望之星选股"},
    {57, "bc57", "大跌之后三空阴选股"},
};

constexpr CatalogueItem kGroupCItems[] = {
    {1, "c1", "高级选股方法"},
    {2, "c2", "高级选股法2"},
    {3, "c3", "高级选股法3"},
};

constexpr std::string_view kFullColon = "：";

std::span<const CatalogueItem> Items(int group) {
    switch (group) {
        case kArticleGroup: return kArticles;
        case kGroupA: return kGroupAItems;
        case kGroupB: return kGroupBItems;
        case kGroupC: return kGroupCItems;
        default: return {};
    }
}

std::optional<CatalogueItem> FindItem(int group, int number) {
    for (const CatalogueItem& item : Items(group))
        if (item.number == number) return item;
    return std::nullopt;
}

constexpr ParamKind I = ParamKind::Integer;
constexpr ParamKind D = ParamKind::TwoDecimals;

constexpr ParamKind kDecDec[] = {D, D};
constexpr ParamKind kIntInt[] = {I, I};
constexpr ParamKind kIntDecDec[] = {I, D, D};
constexpr ParamKind kFiveLengthsAndNh[] = {I, I, I, I, I, D};
constexpr ParamKind kInt[] = {I};
constexpr ParamKind kFiveLengths[] = {I, I, I, I, I};
constexpr ParamKind kDec[] = {D};
constexpr ParamKind kIntIntInt[] = {I, I, I};
constexpr ParamKind kKdjRange[] = {I, I, I, D, D};
constexpr ParamKind kKdjBound[] = {I, I, I, D};
constexpr ParamKind kBollWidth[] = {I, I, D, D};
constexpr ParamKind kIntDec[] = {I, D};

// Atoi-like reading of a typed field: leading blanks, a sign, digits; text
// that is not a number reads as 0, a huge number is held at the int range.
int32_t TypedInt(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<int64_t>(value * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// A fraction field holds two digits; a single typed digit means tenths ("5" is .50).
int32_t TypedFraction(std::string_view text) {
    text = text.substr(0, 2);
    int32_t value = std::clamp(TypedInt(text), 0, 99);
    if (text.size() == 1) value *= 10;
    return value;
}

// Non-zero lengths, duplicates collapsed, ascending, padded with 0 to five.
std::array<int32_t, 5> NormalizedLengths(std::span<const int32_t> lengths) {
    std::vector<int32_t> kept;
    for (int32_t n : lengths)
        if (n != 0 && std::find(kept.begin(), kept.end(), n) == kept.end()) kept.push_back(n);
    std::sort(kept.begin(), kept.end());
    std::array<int32_t, 5> out{};
    std::copy_n(kept.begin(), std::min<size_t>(kept.size(), 5), out.begin());
    return out;
}

size_t NonZeroCount(std::span<const int32_t> values) {
    return static_cast<size_t>(
        std::count_if(values.begin(), values.end(), [](int32_t v) { return v != 0; }));
}

std::string JoinInts(std::span<const int32_t> values) {
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

std::string NonZeroLengths(std::span<const int32_t> values) {
    std::vector<int32_t> kept;
    for (int32_t v : values)
        if (v != 0) kept.push_back(v);
    return JoinInts(kept);
}

// Refuses with a message; the board stays as typed.
std::optional<std::string> Refuse(base::Prompter& prompter, std::string_view message) {
    prompter.ShowMessage(std::string(message), std::string(kPromptCaption));
    return std::nullopt;
}

constexpr std::string_view kTwoLengthsNeeded = "至少需要两条均线的输入值有效";
constexpr std::string_view kZeroLength = "输入的均线值不能为零";
constexpr std::string_view kEqualLengths = "两条均线值不能相同";
constexpr std::string_view kNAtLeastSix = "N值输入不能小于6";

}  // namespace

std::string ConditionCode::Text() const {
    if (number <= 0 || group < kGroupA || group > kGroupA + 3) return {};
    return std::string(1, static_cast<char>('a' + group - kGroupA)) + std::to_string(number);
}

int ConditionCount(int group) {
    switch (group) {
        case kGroupA:
            return 9;
        case kGroupB:
            return 57;
        case kGroupC:
            return 3;
        default:
            return 0;
    }
}

int ConditionAtPosition(int group, int position) {
    return data::ConditionAtPosition(group, position);
}

int ConditionPosition(ConditionCode code) {
    for (int p = 1; p <= data::VisibleConditionCount(code.group); ++p)
        if (data::ConditionAtPosition(code.group, p) == code.number) return p;
    return 0;
}

std::string ConditionTitleOf(int group, int number) {
    auto item = FindItem(group, number);
    return item ? std::string(item->title) : std::string();
}

TitleLookup ConditionTitle(int group, int positionOrNumber) {
    TitleLookup out;
    if (group == kArticleGroup) {
        auto item = FindItem(group, positionOrNumber);
        if (!item) return out;
        out.number = positionOrNumber;
        out.text = std::string(item->code) + std::string(kFullColon) + std::string(item->title);
        return out;
    }
    out.number = ConditionAtPosition(group, positionOrNumber);
    if (out.number == 0) return out;
    auto item = FindItem(group, out.number);
    if (!item) return out;
    out.text = ConditionCode{group, out.number}.Text() + std::string(kFullColon) +
               std::string(item->title);
    return out;
}

std::span<const ParamKind> ConditionParamKinds(ConditionCode c) {
    if (c.Is('a', 1)) return kDecDec;
    if (c.Is('a', 2)) return kIntInt;
    if (c.InRange('a', 3, 6)) return kIntDecDec;
    if (c.Is('a', 7) || c.Is('b', 11)) return kFiveLengthsAndNh;
    if (c.Is('a', 8) || c.Is('b', 16)) return kInt;
    if (c.Is('a', 9) || c.Is('b', 15)) return kIntInt;
    if (c.InRange('b', 1, 5)) return kInt;
    if (c.InRange('b', 6, 8) || c.Is('b', 17) || c.InRange('b', 18, 20)) return kIntDecDec;
    if (c.Is('b', 9)) return kFiveLengths;
    if (c.Is('b', 10)) return kDec;
    if (c.InRange('b', 12, 14)) return kIntIntInt;
    if (c.Is('b', 21) || c.Is('b', 23)) return kKdjRange;
    if (c.Is('b', 22)) return kKdjBound;
    if (c.InRange('b', 24, 26) || c.Is('b', 30)) return kIntIntInt;
    if (c.Is('b', 27) || c.Is('b', 29)) return kIntInt;
    if (c.Is('b', 28)) return kBollWidth;
    if (c.InRange('b', 31, 39) || c.InRange('b', 53, 57)) return kIntDec;
    if (c.InRange('b', 41, 50)) return kIntDecDec;
    return {};
}

ParamRecord InitialParams(ConditionCode c) {
    if (c.Is('a', 1)) return {1201, 2001};
    if (c.Is('a', 2)) return {5000, 9000};
    if (c.Is('a', 3)) return {5, 2000, 5000};
    if (c.Is('a', 4)) return {5, 1000, 4000};
    if (c.Is('a', 5)) return {5, 5001, 9001};
    if (c.Is('a', 6)) return {5, 150, 200};
    if (c.Is('a', 7) || c.Is('b', 11)) return {5, 10, 20, 30, 60, 200};
    if (c.Is('a', 8)) return {5};
    if (c.Is('a', 9)) return {5, 30};
    if (c.Is('b', 1)) return {60};
    if (c.InRange('b', 2, 5)) return {41};
    if (c.Is('b', 6)) return {10, 1000, 1000};
    if (c.Is('b', 7) || c.Is('b', 8)) return {1, 900, 200};
    if (c.Is('b', 9)) return {5, 10, 20, 30, 60};
    if (c.Is('b', 10)) return {200};
    if (c.InRange('b', 12, 14)) return {5, 10, 20};
    if (c.Is('b', 15)) return {5, 10};
    if (c.Is('b', 16)) return {30};
    if (c.Is('b', 17)) return {10, 250, 350};
    if (c.Is('b', 18)) return {12, 0, 2000};
    if (c.Is('b', 19) || c.Is('b', 20)) return {6, 1000, 2000};
    if (c.Is('b', 21) || c.Is('b', 23)) return {9, 3, 3, 0, 2000};
    if (c.Is('b', 22)) return {9, 3, 3, 1000};
    if (c.InRange('b', 24, 26)) return {12, 26, 9};
    if (c.Is('b', 27) || c.Is('b', 29)) return {26, 2};
    if (c.Is('b', 28)) return {26, 2, 0, 700};
    if (c.Is('b', 30)) return {26, 2, 3};
    if (c.InRange('b', 31, 39)) return {20, 1000};
    if (c.InRange('b', 41, 50)) return {100, 5000, 1000};
    if (c.InRange('b', 53, 57)) return {10, 2000};
    return {};
}

ConditionParamTable::ConditionParamTable() {
    for (int n = 1; n <= 9; ++n) m_groupA[static_cast<size_t>(n - 1)] = InitialParams({kGroupA, n});
    for (int n = 1; n <= 57; ++n)
        m_groupB[static_cast<size_t>(n - 1)] = InitialParams({kGroupB, n});
}

ParamRecord* ConditionParamTable::Slot(ConditionCode code) {
    if (code.number < 1 || code.number > ConditionCount(code.group)) return nullptr;
    const size_t index = static_cast<size_t>(code.number - 1);
    switch (code.group) {
        case kGroupA:
            return &m_groupA[index];
        case kGroupB:
            return &m_groupB[index];
        case kGroupC:
            return &m_groupC[index];
        default:
            return nullptr;
    }
}

const ParamRecord* ConditionParamTable::Find(ConditionCode code) const {
    return const_cast<ConditionParamTable*>(this)->Slot(code);
}

void ConditionParamTable::Store(ConditionCode code, std::span<const int32_t> params) {
    ParamRecord* record = Slot(code);
    if (!record) return;
    for (size_t k = 0; k < kRememberedParams; ++k) (*record)[k] = k < params.size() ? params[k] : 0;
}

Condition ReadMethodEntry(std::string_view entry) {
    Condition c;
    if (entry.empty() || entry[0] < 'a' || entry[0] > 'd') return c;
    size_t i = 1;
    int number = 0;
    for (int digits = 0; digits < 5 && i < entry.size() && entry[i] >= '0' && entry[i] <= '9';
         ++digits, ++i)
        number = number * 10 + (entry[i] - '0');
    c.code = {entry[0] - 'a' + kGroupA, number};

    size_t pos = entry.find('(', i);
    if (pos == std::string_view::npos) return c;
    ++pos;
    for (size_t k = 0; k < kEntryParams && pos < entry.size(); ++k) {
        // The field runs to the next "," or ")"; its number starts at the
        // first digit or minus sign.
        size_t end = pos;
        while (end < entry.size() && entry[end] != ',' && entry[end] != ')') ++end;
        size_t start = pos;
        while (start < end && !(entry[start] >= '0' && entry[start] <= '9') && entry[start] != '-')
            ++start;
        std::string digits;
        for (size_t j = start; j < end && j < start + 15; ++j) {
            const char ch = entry[j];
            if (ch == '.') continue;
            if ((ch >= '0' && ch <= '9') || ch == '-')
                digits += ch;
            else
                break;
        }
        c.params[k] = TypedInt(digits);
        if (end >= entry.size() || entry[end] == ')') break;
        pos = end + 1;
    }
    return c;
}

ConditionCode BoardCondition(const SettingBoard& board) {
    return {board.group, ConditionAtPosition(board.group, board.position)};
}

SettingBoard BoardFromParams(int group, int position, std::span<const int32_t> params) {
    SettingBoard board;
    board.group = group;
    board.position = position;
    const ConditionCode code = BoardCondition(board);
    const auto kinds = ConditionParamKinds(code);
    for (size_t k = 0; k < kinds.size() && k < kRememberedParams; ++k) {
        int64_t v = k < params.size() ? params[k] : 0;
        if (code.Is('b', 20) && k > 0) v = v < 0 ? -v : v;
        if (kinds[k] == ParamKind::Integer) {
            board.fields[k].whole = std::to_string(v);
            continue;
        }
        const int64_t magnitude = v < 0 ? -v : v;
        board.fields[k].whole = (v < 0 ? "-" : "") + std::to_string(magnitude / 100);
        char fraction[8];
        std::snprintf(fraction, sizeof fraction, "%02d", static_cast<int>(magnitude % 100));
        board.fields[k].fraction = fraction;
    }
    return board;
}

bool BoardComplete(const SettingBoard& board) {
    const auto kinds = ConditionParamKinds(BoardCondition(board));
    for (size_t k = 0; k < kinds.size(); ++k) {
        if (board.fields[k].whole.empty()) return false;
        if (kinds[k] == ParamKind::TwoDecimals && board.fields[k].fraction.empty()) return false;
    }
    return true;
}

std::optional<std::string> BuildMethodEntry(const SettingBoard& board, base::Prompter& prompter) {
    const ConditionCode code = BoardCondition(board);
    if (code.number == 0) return std::nullopt;
    const auto kinds = ConditionParamKinds(code);

    // Whole parts as typed; a two-decimal field adds its two fraction digits
    // on the side of its sign.
    std::array<int32_t, kRememberedParams> v{};
    std::array<int64_t, kRememberedParams> values{};
    for (size_t k = 0; k < kinds.size(); ++k) {
        v[k] = TypedInt(board.fields[k].whole);
        values[k] = v[k];
        if (kinds[k] == ParamKind::TwoDecimals) {
            const int32_t fraction = TypedFraction(board.fields[k].fraction);
            values[k] = int64_t{v[k]} * 100 + (v[k] < 0 ? -fraction : fraction);
        }
    }
    const auto putLengths = [&](std::span<const int32_t> lengths) {
        std::copy(lengths.begin(), lengths.end(), values.begin());
    };

    if (code.Is('a', 7) || code.Is('b', 9) || code.Is('b', 11)) {
        auto lengths = NormalizedLengths(std::span(v).first(5));
        if (NonZeroCount(lengths) < 2) return Refuse(prompter, kTwoLengthsNeeded);
        putLengths(lengths);
    } else if (code.Is('a', 8) || code.Is('b', 16)) {
        if (v[0] == 0) return Refuse(prompter, kZeroLength);
    } else if (code.Is('a', 9) || code.Is('b', 15) || code.InRange('b', 12, 14)) {
        const size_t n = code.InRange('b', 12, 14) ? 3 : 2;
        std::vector<int32_t> lengths(v.begin(), v.begin() + static_cast<ptrdiff_t>(n));
        if (std::count(lengths.begin(), lengths.end(), 0) > 0) return Refuse(prompter, kZeroLength);
        std::sort(lengths.begin(), lengths.end());
        if (std::adjacent_find(lengths.begin(), lengths.end()) != lengths.end())
            return Refuse(prompter, kEqualLengths);
        putLengths(lengths);
    }
    for (const ParamLimit& limit : ParamLimits(code))
        if (!limit.Accepts(v[limit.param])) return Refuse(prompter, limit.message);
    return WriteMethodEntry(code, std::span(values).first(kinds.size()));
}

std::string ParamText(ConditionCode code, size_t param, int64_t value) {
    const auto kinds = ConditionParamKinds(code);
    if (param >= kinds.size() || kinds[param] == ParamKind::Integer) return std::to_string(value);
    // b20's bounds are written negative whatever their sign, even at 0.00.
    if (code.Is('b', 20)) return "-" + TwoDecimals(value < 0 ? -value : value);
    return TwoDecimals(value);
}

std::string WriteMethodEntry(ConditionCode code, std::span<const int64_t> params) {
    std::string entry = code.Text() + "(";
    const size_t count = ConditionParamKinds(code).size();
    for (size_t k = 0; k < count; ++k) {
        if (k) entry += ',';
        entry += ParamText(code, k, k < params.size() ? params[k] : 0);
    }
    // These boards close their list with a comma.
    if (code.Is('b', 27) || code.Is('b', 29) || code.Is('b', 30)) entry += ',';
    return entry + ");";
}

namespace {

constexpr ParamLimit kRsiLimits[] = {{0, 2, 100, false, "N值输入范围为2—100"}};
constexpr ParamLimit kBiasLimits[] = {{0, 1, 300, false, "N值输入范围为1—300"}};
constexpr ParamLimit kKdjLimits[] = {{0, 1, 100, false, "N值输入范围为1—100"},
                                     {1, 2, 40, false, "M1值输入范围为2—40"},
                                     {2, 2, 40, false, "M2值输入范围为2—40"}};
constexpr ParamLimit kMacdLimits[] = {{0, 5, 40, false, "SHORT值输入范围为5—40"},
                                      {1, 20, 100, false, "LONG值输入范围为20—100"},
                                      {2, 2, 60, false, "MID值输入范围为2—60"}};
constexpr ParamLimit kBollLimits[] = {{0, 5, 300, false, "N值输入范围为5—300"},
                                      {1, 1, 10, false, "P值输入范围为1—10"},
                                      {2, 1, INT32_MAX, false, "M值输入不能为0"}};
constexpr ParamLimit kPatternLimits[] = {{0, 6, INT32_MAX, true, kNAtLeastSix}};

constexpr std::string_view kNamesA1[] = {"J low", "J high"};
constexpr std::string_view kNamesA2[] = {"GB low", "GB high"};
constexpr std::string_view kNamesA3[] = {"N", "ZF low", "ZF high"};
constexpr std::string_view kNamesA4[] = {"N", "DF low", "DF high"};
constexpr std::string_view kNamesA5[] = {"N", "HS low", "HS high"};
constexpr std::string_view kNamesA6[] = {"N", "BS low", "BS high"};
constexpr std::string_view kNamesFiveAndNh[] = {"N1", "N2", "N3", "N4", "N5", "NH"};
constexpr std::string_view kNamesN[] = {"N"};
constexpr std::string_view kNamesNM[] = {"N", "M"};
constexpr std::string_view kNamesB6[] = {"N", "market fall", "stock rise"};
constexpr std::string_view kNamesB7[] = {"N", "fall/rise ratio", "stock rise"};
constexpr std::string_view kNamesB8[] = {"N", "x", "y"};
constexpr std::string_view kNamesNh[] = {"NH"};
constexpr std::string_view kNamesB17[] = {"N", "multiple low", "multiple high"};
constexpr std::string_view kNamesB18[] = {"N", "RSI low", "RSI high"};
constexpr std::string_view kNamesBias[] = {"N", "BIAS low", "BIAS high"};
constexpr std::string_view kNamesB21[] = {"N", "M1", "M2", "K low", "K high"};
constexpr std::string_view kNamesB22[] = {"N", "M1", "M2", "J"};
constexpr std::string_view kNamesB23[] = {"N", "M1", "M2", "K/D low", "K/D high"};
constexpr std::string_view kNamesMacd[] = {"SHORT", "LONG", "MID"};
constexpr std::string_view kNamesNP[] = {"N", "P"};
constexpr std::string_view kNamesB28[] = {"N", "P", "width low", "width high"};
constexpr std::string_view kNamesB30[] = {"N", "P", "M"};
constexpr std::string_view kNamesRising[] = {"N", "ZF"};
constexpr std::string_view kNamesBottom[] = {"N", "fall from high", "rise from low"};
constexpr std::string_view kNamesFalling[] = {"N", "DF"};

}  // namespace

std::span<const ParamLimit> ParamLimits(ConditionCode c) {
    if (c.Is('b', 18)) return kRsiLimits;
    if (c.Is('b', 19) || c.Is('b', 20)) return kBiasLimits;
    if (c.InRange('b', 21, 23)) return kKdjLimits;
    if (c.InRange('b', 24, 26)) return kMacdLimits;
    if (c.InRange('b', 27, 29)) return std::span(kBollLimits).first(2);
    if (c.Is('b', 30)) return kBollLimits;
    if (c.InRange('b', 31, 39) || c.InRange('b', 41, 50) || c.InRange('b', 53, 57))
        return kPatternLimits;
    return {};
}

std::span<const std::string_view> ConditionParamNames(ConditionCode c) {
    if (c.Is('a', 1)) return kNamesA1;
    if (c.Is('a', 2)) return kNamesA2;
    if (c.Is('a', 3)) return kNamesA3;
    if (c.Is('a', 4)) return kNamesA4;
    if (c.Is('a', 5)) return kNamesA5;
    if (c.Is('a', 6)) return kNamesA6;
    if (c.Is('a', 7) || c.Is('b', 11)) return kNamesFiveAndNh;
    if (c.Is('b', 9)) return std::span(kNamesFiveAndNh).first(5);
    if (c.InRange('b', 12, 14)) return std::span(kNamesFiveAndNh).first(3);
    if (c.Is('a', 8) || c.Is('b', 16) || c.InRange('b', 1, 5)) return kNamesN;
    if (c.Is('a', 9) || c.Is('b', 15)) return kNamesNM;
    if (c.Is('b', 6)) return kNamesB6;
    if (c.Is('b', 7)) return kNamesB7;
    if (c.Is('b', 8)) return kNamesB8;
    if (c.Is('b', 10)) return kNamesNh;
    if (c.Is('b', 17)) return kNamesB17;
    if (c.Is('b', 18)) return kNamesB18;
    if (c.Is('b', 19) || c.Is('b', 20)) return kNamesBias;
    if (c.Is('b', 21)) return kNamesB21;
    if (c.Is('b', 22)) return kNamesB22;
    if (c.Is('b', 23)) return kNamesB23;
    if (c.InRange('b', 24, 26)) return kNamesMacd;
    if (c.Is('b', 27) || c.Is('b', 29)) return kNamesNP;
    if (c.Is('b', 28)) return kNamesB28;
    if (c.Is('b', 30)) return kNamesB30;
    if (c.InRange('b', 31, 39)) return kNamesRising;
    if (c.InRange('b', 41, 50)) return kNamesBottom;
    if (c.InRange('b', 53, 57)) return kNamesFalling;
    return {};
}

int MinimumN(ConditionCode code) {
    if (code.InRange('a', 3, 6) || code.Is('b', 6) || code.Is('b', 7)) return 1;
    if (code.Is('b', 1)) return 7;
    if (code.Is('b', 2) || code.Is('b', 3)) return 14;
    if (code.Is('b', 4) || code.Is('b', 5)) return 21;
    return 0;
}

std::string TwoDecimals(int64_t hundredths) {
    const int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[40];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "",
                  static_cast<long long>(magnitude / 100), static_cast<long long>(magnitude % 100));
    return text;
}

std::string MethodEntryText(std::string_view entry) {
    const Condition c = ReadMethodEntry(entry);
    const ConditionCode code = c.code;
    const auto& p = c.params;
    std::string line =
        code.Text() + std::string(kFullColon) + ConditionTitleOf(code.group, code.number);
    const auto n = [&](size_t k) { return std::to_string(p[k]); };
    const auto d = [&](size_t k) { return TwoDecimals(p[k]); };
    const std::string nEq = "Ｎ=" + n(0);
    std::string detail;

    if (code.Is('a', 1)) {
        detail = d(0) + "元≤J≤" + d(1) + "元";
    } else if (code.Is('a', 2)) {
        detail = n(0) + "万股≤GB≤" + n(1) + "万股";
    } else if (code.InRange('a', 3, 5)) {
        const char* label = code.Is('a', 3) ? "≤ZF≤" : code.Is('a', 4) ? "≤DF≤" : "≤HS≤";
        detail = nEq + " " + d(1) + label + d(2);
    } else if (code.Is('a', 6)) {
        detail = "前Ｎ=" + n(0) + " " + d(1) + "≤BS≤" + d(2);
        if (p[1] != p[2] && p[1] >= 100 && p[2] >= 100) detail += "(放量)";
        if (p[1] != p[2] && p[1] <= 100 && p[2] <= 100) detail += "(缩量)";
    } else if (code.Is('a', 7)) {
        detail = NonZeroLengths(std::span(p).first(5)) + " NH≤" + d(5);
    } else if (code.Is('a', 8)) {
        detail = nEq + " 收盘价上穿N日线";
    } else if (code.Is('a', 9)) {
        detail = nEq + " Ｍ=" + n(1) + " N,M金叉";
    } else if (code.InRange('b', 1, 5)) {
        static constexpr const char* kNames[] = {"向上突破前高", "平台整理", "向上突破平台",
                                                 "箱体整理", "向上突破箱体"};
        detail = nEq + " " + kNames[code.number - 1];
    } else if (code.Is('b', 6)) {
        detail = nEq + " 大盘跌幅≥" + d(1) + " 个股涨幅≥" + d(2);
    } else if (code.Is('b', 7)) {
        detail = nEq + " 下跌/上涨≥" + d(1) + " 个股涨幅≥" + d(2);
    } else if (code.Is('b', 9)) {
        detail = NonZeroLengths(std::span(p).first(5)) + " 向上多头排列";
    } else if (code.Is('b', 10)) {
        detail = "5,10,20,30,60日均线粘合 NH≤" + d(0);
    } else if (code.Is('b', 11)) {
        detail = NonZeroLengths(std::span(p).first(5)) + " NH≤" + d(5) + " 向上突破";
    } else if (code.InRange('b', 12, 14)) {
        static constexpr const char* kNames[] = {"出水芙蓉：收盘价上穿三均线", "下列三均线呈金蜘蛛",
                                                 "下列三均线呈银山谷"};
        detail = JoinInts(std::span(p).first(3)) + " " + kNames[code.number - 12];
    } else if (code.Is('b', 15)) {
        detail = nEq + " Ｍ=" + n(1);
    } else if (code.Is('b', 16)) {
        detail = nEq;
    } else if (code.Is('b', 18)) {
        detail = nEq + " " + d(1) + "≤RSI≤" + d(2);
    } else if (code.Is('b', 19) || code.Is('b', 20)) {
        detail = nEq + " " + d(1) + "≤BIAS≤" + d(2);
    } else if (code.InRange('b', 21, 23)) {
        detail = nEq + " Ｍ1=" + n(1) + " Ｍ2=" + n(2) + " ";
        if (code.Is('b', 21)) detail += d(3) + "≤K值≤" + d(4);
        if (code.Is('b', 22)) detail += "J≤" + d(3);
        if (code.Is('b', 23)) detail += d(3) + "≤K,D值≤" + d(4) + " K,D金叉";
    } else if (code.InRange('b', 24, 26)) {
        static constexpr const char* kNames[] = {"MACD之柱状刚刚翻红", "MACD在零轴上方金叉",
                                                 "MACD在零轴下方金叉"};
        detail =
            "SHORT=" + n(0) + " LONG=" + n(1) + " MID=" + n(2) + " " + kNames[code.number - 24];
    } else if (code.InRange('b', 27, 30)) {
        detail = nEq + " P=" + n(1) + " ";
        if (code.Is('b', 27)) detail += "收盘价突破BOLL中轨";
        if (code.Is('b', 28)) detail += d(2) + "≤占比≤" + d(3);
        if (code.Is('b', 29)) detail += "触及BOLL下轨后反弹";
        if (code.Is('b', 30)) detail += "近" + n(2) + "日连续收盘低于布林下轨";
    } else if (code.InRange('b', 31, 39)) {
        static constexpr const char* kNames[] = {"仙人指路",   "上涨揉搓线", "向上跳空缺口",
                                                 "上涨两颗星", "上升三法",   "上升三连击",
                                                 "徐缓上升",   "多方炮",     "上升两头红"};
        detail = p[0] == 0 ? std::string(kNames[code.number - 31]) + "(忽略涨升条件)"
                           : nEq + " 涨幅≥" + d(1) + " " + kNames[code.number - 31];
    } else if (code.InRange('b', 41, 50)) {
        static constexpr const char* kNames[] = {
            "底部大阳线", "放量大阴线",   "曙光初现", "旭日东升",   "底部阳包阴",
            "底部阴孕阳", "向上跳空缺口", "红三兵",   "上涨镊子线", "低位连阳"};
        detail = p[0] == 0 ? std::string(kNames[code.number - 41]) + "(忽略底部条件)"
                           : nEq + " 离高点跌幅≥" + d(1) + " 离低点涨幅≤" + d(2) + " " +
                                 kNames[code.number - 41];
    } else if (code.InRange('b', 53, 57)) {
        static constexpr const char* kNames[] = {"金针探底", "双针探底", "跌势尽头线", "希望之星",
                                                 "三空阴"};
        detail = p[0] == 0 ? std::string(kNames[code.number - 53]) + "(忽略跌幅条件)"
                           : nEq + " 跌幅≥" + d(1) + " " + kNames[code.number - 53];
    }
    return detail.empty() ? line : line + " " + detail;
}

bool InCatalogue(ConditionCode code) {
    return code.number >= 1 && code.number <= ConditionCount(code.group);
}

bool SelectsStocks(ConditionCode code) {
    return InCatalogue(code) && code.group != kGroupC && !code.Is('b', 8) && !code.Is('b', 17) &&
           !code.Is('b', 40) && !code.InRange('b', 51, 52);
}

}  // namespace picking
