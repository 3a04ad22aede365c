#include "ui/help_pages.h"

#include <algorithm>
#include <vector>

#include "base/gbk.h"
#include "ui/drawing.h"

namespace ui {
namespace {

using Page = std::vector<std::string_view>;  // paragraphs, UTF-8

const std::vector<Page>& GrowYourFundsPages() {
    static const std::vector<Page> kPages = {
        {
            "股市里的资金总是先涌向少数热点板块，同一板块的个股常常同涨同跌。与其在几千只股票里逐一"
            "挑选，不如先看清资金正在流向哪些板块，再到这些板块里去找最强的个股。《板块擎宇》扫描一"
            "次"
            "只需几秒钟，每天收盘后花几分钟，就能把当天市场的脉络理清楚。",
            "一、找热点。选“全市”，用“热点板块”方式、阈值5%左右扫描。排名靠前、选出股多、选出股占"
            "板块成员比例高的板块，说明上涨不是个别股票的偶然行为，而是板块整体在动；连续几天排在前"
            "列"
            "的板块更值得跟踪。阈值定得高，选出的是最强的板块；定得低，可以更早发现正在启动的板块"
            "。",
            "二、看资金。用“资金流入”方式扫描，阈值可设50%到100%，找出成交额明显放大而且股价上涨的"
            "板块。价升量增往往是新资金进场的信号；一个板块如果同时排在热点板块和资金流入的前列，上"
            "涨"
            "更有可能延续。",
            "三、找龙头。点击排名中的板块，右侧列出它的选出股，涨幅最大的排在最前面。领涨的个股往往"
            "就是板块的龙头，点击它即可打开前复权K线图，再结合均线、成交量和MACD等指标，判断它是刚"
            "刚"
            "启动，还是已经连续大涨。",
        },
        {
            "四、看板块趋势。点击“板块走势”，程序把板块选出股的走势合成为一个板块指数。板块指数刚刚"
            "突破长期盘整时机会较大；已经连续上涨很久的板块，追高的风险也大。",
            "五、避开下跌。用“下跌板块”方式扫描，看哪些板块在集中下跌，回避其中的个股；手中股票所属"
            "的板块如果排进下跌前列，要提高警惕。对持有的个股可以点击“测顶”，估计它短期见顶的概率，"
            "概率高时考虑减仓。",
            "六、用模拟检验方法。进入模拟，把日期设回过去的某一天，按同样的方式和阈值扫描，记下排名"
            "靠前的板块，再退出模拟，看这些板块随后几天的实际表现。多试几次，就能找到适合自己的扫描"
            "方式、阈值和操作节奏。",
            "七、控制风险。任何方法都有失误的时候：买入前想好止损的位置，不要把全部资金押在一个板块"
            "上。本软件是分析工具，不构成投资建议。股市有风险，入市需谨慎。",
        },
    };
    return kPages;
}

const std::vector<Page>& OperateSectorsPages() {
    static const std::vector<Page> kPages = {
        {
            "操作板块只需四步：选待选股、选扫描方式、设阈值、点击“板块扫描”。",
            "一、选待选股。在“待选股”一栏点击“沪市”、“深市”、“创板”或“全市”，确定参加扫描的股票"
            "范围，括号中显示待选股的个数。也可以点击“载入”，从XG文件夹中选一个以前保存的选股文件或"
            "自选股文件，只扫描其中的股票。",
            "二、选扫描方式。点击三行扫描方式中的一行即可选中它：“热点板块”扫描当日涨幅大于等于阈值"
            "的个股；“资金流入”扫描成交额比前一日增加大于等于阈值、同时收盘价上涨的个股；“下跌板块”"
            "扫描当日跌幅大于等于阈值的个股。",
            "三、设阈值。热点板块和下跌板块的阈值是百分数，整数部分和小数部分分开输入，例如输入7和5"
            "表示7.5%，阈值必须小于20%；资金流入的阈值是整数百分数，例如100表示成交额至少翻一倍。",
            "四、点击“板块扫描”。进度条走完后，左侧显示板块排名：每个板块一行，横条越长得分越高，每"
            "页"
            "10个，可用滚动条翻看。得分由选出股占板块成员的比例、选出股的个数和它们的平均幅度超出阈"
            "值"
            "的多少综合而成，选出股个数不低于平均数的板块排在前面。新上市的个股不参加热点板块和资金"
            "流入的统计。",
        },
        {
            "五、看板块成员。点击排名中的板块，右侧列出该板块的选出股和它们的涨幅（资金流入为成交增"
            "幅，"
            "下跌板块为跌幅），幅度大的在前。点击其中一只股票，即以前复权方式打开它的K线图。",
            "六、板块走势。点击“板块走势”，程序把当前板块的选出股（最多前255只）按复权价格平均，"
            "合成最近150个交易日的板块指数，并以代码999998的日K线图显示，可以像大盘指数一样加载各种"
            "指标。",
            "七、保存和加入。点击“保存”，当前板块的选出股存为XG文件夹中的文本文件，文件名由扫描方式"
            "、"
            "板块名称和日期组成，以后可以“载入”作为待选股；在选出股中点取一只股票后点击“加入”，它就"
            "加入右侧的自选股。",
            "八、板块属性查询。在“板块属性查询”框中输入六位股票代码后点击“查询”，列出该股所属的行业"
            "和概念板块；输入板块名称，显示它在板块库中的序号；输入四位序号，在扫描结果中找到该板块"
            "并"
            "显示它的排名。",
        },
    };
    return kPages;
}

const std::vector<Page>& GeneralPages() {
    static const std::vector<Page> kPages = {
        {
            "一、打开K线图。在右下角的股票代码框中输入六位代码，或输入股票名称的拼音首字母（例如浦"
            "发"
            "银行输入PFYH），在弹出的代码查找窗口中选中股票后按回车即可打开；点击图表区后直接键入也"
            "可以。F3打开上证指数，F4打开深证成指，“沪指”、“深指”按钮作用相同；在K线图中按PgUp、"
            "PgDn切换到上一只、下一只股票。",
            "二、复权。“除权”显示原始价格，除权日会出现缺口；“前复权”以现在的价格为准，把以前的价格"
            "按分红送配调整，使K线连续；“后复权”以第一次除权前的价格为准，把以后的价格向上调整。从"
            "板块扫描结果打开个股时自动使用前复权。",
            "三、周期和移动。“日Ｋ”、“周Ｋ”、“月Ｋ”切换K线周期。“↑键”、“↓键”或键盘上的上、下方向键"
            "放大、缩小K线；K线图下方的箭头按钮每次左右移动一根或一百根K线，或直接回到最早、最新的K"
            "线。"
            "鼠标在图中移动时十字光标跟随，右侧数据栏显示光标处K线的日期、开盘价、最高价、最低价、"
            "收盘价、成交量、金额、涨跌幅和换手率；左、右方向键逐根移动光标，Home、End移到两端。",
        },
        {
            "四、技术指标。主图叠加五条价格均线，副图显示一个技术指标。点击K线图下方指标栏中的名称"
            "，"
            "即可在VOL、MACD、KD、KDJ、RSI、BIAS、BOLL等十七种指标之间切换；点击指标栏第一格或“指标"
            "设置”"
            "按钮，可以选择指标、修改参数，“还原”恢复标准参数。在代码框中输入指标的英文缩写（例如"
            "MACD），也能从代码查找窗口中选取指标。",
            "五、模拟日期。点击“进入模拟”，输入八位日期（例如20140321）后确定，或用-10、-1、+1、+10"
            "按交易日前后移动，程序就把这一天当作“今天”：板块扫描、K线图和测顶测底都只使用这一天及"
            "以前的行情，可用来检验扫描方法在历史上的效果。点击“退出模拟”恢复正常，模拟日期保留到"
            "下次使用。",
            "六、测顶测底。在“个股顶部底部测算”框中输入六位股票代码，点击“测顶”或“测底”，程序根据"
            "最近十个交易日的五个因素（近期是否创新高或新低、收盘价与5日均线、5日均线的拐头、5日线"
            "与"
            "10日线的交叉、成交额的连续增减）加权估算短期见顶或见底的概率。点击“原理设置”可调整各因"
            "素"
            "的权重，程序重新启动后恢复默认权重。",
        },
        {
            "七、数据文件。所有数据都放在程序所在的文件夹中：MKDAY/SH和MKDAY/"
            "SZ分别存放沪、深两市每只股票"
            "和指数的日线文件（文件名为代码.day）；MKDAT存放代码表MKCODE.DAT、除权表MKCQ."
            "DAT、板块库BKLIB.TXT"
            "和设置文件Inif2."
            "DAT；XG存放保存的选股文件、板块文件和自选股文件，它们是GBK编码的文本文件。",
            "八、数据安装。按F11打开数据安装窗口，点击“浏览”找到下载的数据文件，再点击“安装”，日线"
            "数据、代码表、除权表和板块库会并入已有的数据。",
            "九、自选股。在K线图中点击“加入自选”，或在选出股中点取个股后点击“加入”，即可加入自选股"
            "；"
            "右侧的“↑”、“↓”调整顺序，“×”删除，“K”打开K线图，“8”同时显示八只股票的小K线图；"
            "“保存”把自选股存为以日期命名的文件，“载入”把它调回。",
            "十、配色。显示K线图时，左上角的“经典黑”和“常规”切换配色：经典黑为黑色背景，常规为浅灰"
            "色"
            "背景。",
        },
    };
    return kPages;
}

const std::vector<Page>& PagesOf(HelpTopic topic) {
    switch (topic) {
        case HelpTopic::GrowYourFunds:
            return GrowYourFundsPages();
        case HelpTopic::OperateSectors:
            return OperateSectorsPages();
        case HelpTopic::General:
            break;
    }
    return GeneralPages();
}

constexpr std::string_view kTitleColour = "/c120000000";
constexpr std::string_view kBodyColour = "/c000000090";
constexpr std::string_view kParagraphStart = "/n  ";

// Chinese numerals for the page marker of topics with several pages.
constexpr std::string_view kPageNumerals[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};

}  // namespace

std::optional<HelpTopic> HelpTopicForCommand(int command) {
    switch (command) {
        case 21:
            return HelpTopic::GrowYourFunds;
        case 22:
            return HelpTopic::OperateSectors;
        case 41:
        case 42:
            return HelpTopic::General;
        default:
            return std::nullopt;
    }
}

std::string_view HelpTitle(HelpTopic topic) {
    switch (topic) {
        case HelpTopic::GrowYourFunds:
            return "怎样让你的账户资金奔跑？";
        case HelpTopic::OperateSectors:
            return "怎样用《板块擎宇》操作板块？";
        case HelpTopic::General:
            break;
    }
    return "帮助说明";
}

int HelpPageCount(HelpTopic topic) {
    return static_cast<int>(PagesOf(topic).size());
}

std::string HelpPageText(HelpTopic topic, int page) {
    const std::vector<Page>& pages = PagesOf(topic);
    page = std::clamp(page, 0, static_cast<int>(pages.size()) - 1);

    std::string title(HelpTitle(topic));
    if (pages.size() > 1 && pages.size() <= std::size(kPageNumerals))
        title += "（" + std::string(kPageNumerals[page]) + "）";
    const std::string gbkTitle = base::Utf8ToGbk(title);

    // Centre the title: each leading space is two columns.
    const int columns = static_cast<int>(gbkTitle.size());
    const int spaces = std::max(0, (kHelpPageLayout.columnsPerLine - columns) / 4);

    std::string text(kTitleColour);
    text.append(static_cast<size_t>(spaces), ' ');
    text += gbkTitle;
    text += "/n";
    text += kBodyColour;
    for (std::string_view paragraph : pages[static_cast<size_t>(page)]) {
        text += kParagraphStart;
        text += base::Utf8ToGbk(paragraph);
    }
    return text;
}

MarkupResult DrawHelpPage(Canvas& canvas, HelpTopic topic, int page, MarkupLayout& lastLayout) {
    DrawPageFrame(canvas, kHelpFrameLeft, kHelpFrameTop, kHelpFrameRight, kHelpFrameBottom,
                  kHelpFrameColour, CodeEntryHint::Hidden);
    lastLayout = kHelpPageLayout;
    return DrawMarkupText(canvas, HelpPageText(topic, page), kHelpPageLayout);
}

}  // namespace ui
