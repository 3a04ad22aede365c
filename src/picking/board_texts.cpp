#include "picking/board_texts.h"

#include <algorithm>
#include <array>

namespace picking {
namespace {

struct BoardEntry {
    char letter;
    int from, to;  // the conditions sharing these texts
    std::string_view headline;
    std::array<std::string_view, 4> rows;
    std::array<std::string_view, 2> notes;
    std::string_view hint;
};

constexpr std::string_view kHintN = "设置N值后，点击右侧“加入方法”";
constexpr std::string_view kHintAverages = "设置均线值后，点击右侧“加入方法”";
constexpr std::string_view kHintValues = "设置参数后，点击右侧“加入方法”";
constexpr std::string_view kFiveAverages1 = "Ｎ1={0} Ｎ2={1} Ｎ3={2}";
constexpr std::string_view kFiveAverages2 = "Ｎ4={3} Ｎ5={4}";
constexpr std::string_view kCloseness = "粘合度是指，均线值最大、最小两条均线的间隔占收盘价的百分比";
constexpr std::string_view kKdj = "随机指标KDJ(N、M1、M2)";
constexpr std::string_view kKdjRow = "Ｎ={0} Ｍ1={1} Ｍ2={2}";
constexpr std::string_view kMacd = "平滑异同移动平均线MACD(SHORT,LONG,MID)";
constexpr std::string_view kMacdRow = "SHORT={0} LONG={1} MID={2}";
constexpr std::string_view kBoll = "布林线指标BOLL(N、p)，其中";
constexpr std::string_view kBollRow = "Ｎ={0}  P={1}";
constexpr std::string_view kRising = "涨升途中(Ｎ日内涨幅ZF大于下列值)";
constexpr std::string_view kRisingRow = "Ｎ={0}  ZF≥{1}%";
constexpr std::string_view kRisingNote = "（注：如果N设置为0，将忽略涨升条件）";
constexpr std::string_view kBottom = "底部由如下设置： Ｎ日内";
constexpr std::string_view kBottomNote = "（注：如果N设置为0，将忽略底部条件）";
constexpr std::string_view kFall = "大跌之后(Ｎ日内跌幅DF大于下列值)";
constexpr std::string_view kFallRow = "Ｎ={0}  DF≥{1}%";
constexpr std::string_view kFallNote = "（注：如果N设置为0，将忽略跌幅条件）";
#define BOTTOM(n, name) \
    {'b', n, n, kBottom, {"Ｎ={0}", "离Ｎ日内高点跌幅超过{1}%", "离Ｎ日内低点涨幅小于{2}%"}, {"K线形态：" name, kBottomNote}, kHintN}
#define RISING(n, name) {'b', n, n, kRising, {kRisingRow}, {"K线形态：" name, kRisingNote}, kHintN}
#define FALL(n, name) {'b', n, n, kFall, {kFallRow}, {"K线形态：" name, kFallNote}, kHintN}

constexpr BoardEntry kBoards[] = {
    {'a', 1, 1, "选取股价(J)在下列范围的股票：", {"{0}元 ≤J≤ {1}元"}, {}, "设置完股价后，点击右侧“加入方法”"},
    {'a', 2, 2, "选取流通股本(GB)在下列范围的股票：", {"{0}(万股) ≤GB≤ {1}(万股)"}, {},
     "设置完流通股本后，点击右侧“加入方法”"},
    {'a', 3, 3, "选取Ｎ日内涨幅(ZF)在下列范围的股票：", {"Ｎ={0}（N=1，为当日）", "{1}% ≤ZF≤ {2}%"}, {}, kHintValues},
    {'a', 4, 4, "选取Ｎ日内跌幅(DF)在下列范围的股票：", {"Ｎ={0}（N=1，为当日）", "{1}% ≤DF≤ {2}%"}, {}, kHintValues},
    {'a', 5, 5, "选取Ｎ日内换手率(HS)在下列范围的股票：", {"Ｎ={0}（N=1，为当日）", "{1}% ≤HS≤ {2}%"}, {}, kHintValues},
    {'a', 6, 6, "成交量为前Ｎ日平均量的如下倍数(BS)：", {"Ｎ={0}（若N=1,和前一日比较）", "{1} ≤BS≤ {2}"},
     {"（倍数大于1,为放量;倍数小于1,为缩量）"}, kHintValues},
    {'a', 7, 7, "选取下列均线粘合的个股：", {kFiveAverages1, kFiveAverages2, "粘合度NH≤{5}%"}, {kCloseness}, kHintAverages},
    {'a', 8, 8, "选取收盘价上穿Ｎ日均线的个股：", {"Ｎ={0}"}, {}, kHintN},
    {'a', 9, 9, "选取短期均线和中长期均线金叉的个股：", {"Ｎ={0}  Ｍ={1}"}, {"（N日均线与M日均线金叉）"}, kHintAverages},
    {'b', 1, 1, "选取向上突破Ｎ日内高点的个股：", {"Ｎ={0}"}, {"（Ｎ的值不能低于7）"}, kHintN},
    {'b', 2, 2, "选取Ｎ日内做平台整理的个股：", {"Ｎ={0}"}, {"（Ｎ的值不能低于14）"}, kHintN},
    {'b', 3, 3, "选取向上突破Ｎ日内平台的个股：", {"Ｎ={0}"}, {"（Ｎ的值不能低于14）"}, kHintN},
    {'b', 4, 4, "选取Ｎ日内做箱体整理的个股：", {"Ｎ={0}"}, {"（Ｎ的值不能低于21）"}, kHintN},
    {'b', 5, 5, "选取向上突破Ｎ日内箱体的个股：", {"Ｎ={0}"}, {"（Ｎ的值不能低于21）"}, kHintN},
    {'b', 6, 6, "选取N日大盘暴跌逆势上涨股", {"Ｎ={0}", "N日内沪市大盘跌幅超过{1}%", "N日内逆势个股涨幅超过{2}%"}, {}, kHintValues},
    {'b', 7, 7, "选取N日内普跌逆势上涨个股", {"Ｎ={0}", "N日内下跌/上涨家数之比大于{1}", "N日内逆势个股涨幅超过{2}%"}, {},
     kHintValues},
    {'b', 9, 9, "选取下列均线向上多头排列的个股：", {kFiveAverages1, kFiveAverages2}, {"（均线值为0的不参与排列）"}, kHintAverages},
    {'b', 10, 10, "5,10,20,30,60日均线粘合后向上突破：", {"粘合度NH≤{0}%"}, {kCloseness}, kHintValues},
    {'b', 11, 11, "任意5条均线粘合后向上突破：", {kFiveAverages1, kFiveAverages2, "粘合度NH≤{5}%"}, {kCloseness}, kHintAverages},
    {'b', 12, 12, "选取均线出水芙蓉的个股：", {"Ｎ1={0} Ｎ2={1} Ｎ3={2}"}, {"（一根阳线的收盘价同时上穿三条均线）"}, kHintAverages},
    {'b', 13, 13, "选取下列三均线呈金蜘蛛的个股：", {"Ｎ1={0} Ｎ2={1} Ｎ3={2}"}, {"（三条均线向上交汇于一点）"}, kHintAverages},
    {'b', 14, 14, "选取下列三均线出现银山谷的个股：", {"Ｎ1={0} Ｎ2={1} Ｎ3={2}"}, {"（短期均线上穿中、长期均线，围成尖头向上的三角）"},
     kHintAverages},
    {'b', 15, 15, "选取均线洗盘死叉后再金叉的个股：", {"Ｎ={0}  Ｍ={1}"}, {}, kHintAverages},
    {'b', 16, 16, "选取收盘价跌破均线后重返均线的个股：", {"Ｎ={0}"}, {}, kHintN},
    {'b', 18, 18, "选取Ｎ日相对强弱指标RSI在下列范围股票：", {"Ｎ={0}（Ｎ范围2-100）", "{1} ≤RSI值≤ {2}"}, {}, kHintValues},
    {'b', 19, 19, "选取Ｎ日乖离率在下列范围的强势股：", {"Ｎ={0}（Ｎ范围1-300）", "{1}% ≤BIAS≤ {2}%"}, {}, kHintValues},
    {'b', 20, 20, "选取Ｎ日乖离率在下列范围的超跌股：", {"Ｎ={0}（Ｎ范围1-300）", "{1}% ≤BIAS≤ {2}%"},
     {"（超跌股的乖离率为负值，这里输入其绝对值）"}, kHintValues},
    {'b', 21, 21, kKdj, {kKdjRow, "{3} ≤K值≤ {4}"}, {}, kHintValues},
    {'b', 22, 22, kKdj, {kKdjRow, "J值≤{3}"}, {}, kHintValues},
    {'b', 23, 23, kKdj, {kKdjRow, "{3} ≤K,D值≤ {4}"}, {"（K线在此范围内上穿D线）"}, kHintValues},
    {'b', 24, 24, kMacd, {kMacdRow}, {"（MACD柱状线由绿翻红）"}, kHintValues},
    {'b', 25, 25, kMacd, {kMacdRow}, {"（DIF在零轴上方上穿DEA）"}, kHintValues},
    {'b', 26, 26, kMacd, {kMacdRow}, {"（DIF在零轴下方上穿DEA）"}, kHintValues},
    {'b', 27, 27, kBoll, {kBollRow}, {"（收盘价由下向上突破中轨）"}, kHintValues},
    {'b', 28, 28, kBoll, {kBollRow, "{2}% ≤通道宽度占比≤ {3}%"}, {"（上下轨之间的宽度占收盘价的百分比）"}, kHintValues},
    {'b', 29, 29, kBoll, {kBollRow}, {"（最低价触及下轨后收盘回升）"}, kHintValues},
    {'b', 30, 30, kBoll, {kBollRow, "连续收盘低于下轨的天数Ｍ={2}"}, {}, kHintValues},
    RISING(31, "仙人指路"), RISING(32, "上涨揉搓线"), RISING(33, "向上跳空缺口"),
    RISING(34, "上涨两颗星"), RISING(35, "上升三法"), RISING(36, "上升三连击"),
    RISING(37, "徐缓上升"), RISING(38, "多方炮"), RISING(39, "上升两头红"),
    BOTTOM(41, "底部大阳线"), BOTTOM(42, "放量大阴线"), BOTTOM(43, "曙光初现"),
    BOTTOM(44, "旭日东升"), BOTTOM(45, "底部阳包阴"), BOTTOM(46, "底部阴孕阳"),
    BOTTOM(47, "向上跳空缺口"), BOTTOM(48, "红三兵"), BOTTOM(49, "上涨镊子线"),
    BOTTOM(50, "低位连阳"),
    FALL(53, "金针探底"), FALL(54, "双针探底"), FALL(55, "跌势尽头线"), FALL(56, "希望之星"),
    FALL(57, "三空阴"),
    {'c', 1, 1, "高级选股方法", {}, {"（高级选股方法尚在扩展之中，", "目前运行不会选出个股）"}, "点击右侧“加入方法”"},
};
#undef BOTTOM
#undef RISING
#undef FALL

// The leading non-empty elements of a fixed array.
template <size_t N>
std::span<const std::string_view> Filled(const std::array<std::string_view, N>& items) {
    const auto end = std::find(items.begin(), items.end(), std::string_view{});
    return std::span(items.data(), static_cast<size_t>(end - items.begin()));
}

}  // namespace

BoardTexts BoardTextsOf(ConditionCode code) {
    for (const BoardEntry& entry : kBoards)
        if (code.InRange(entry.letter, entry.from, entry.to))
            return {entry.headline, Filled(entry.rows), Filled(entry.notes), entry.hint};
    return {};
}

}  // namespace picking
