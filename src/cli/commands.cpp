// Every command of bkqy-cli as the parser and the help read it: its options
// with their kinds, units and defaults, its groups, what it does and examples.
#include <iterator>

#include "chart/geometry.h"
#include "cli/command.h"
#include "indicators/catalogue.h"

namespace cli {
namespace {

using K = OptionKind;

// ---- options several commands share ---------------------------------------

constexpr OptionSpec kData{"data", K::Path, "DIR", "数据目录：含 MKDAT/ 和 MKDAY/ 的文件夹", true};
constexpr OptionSpec kJson{"json", K::Flag, "", "输出一个 JSON 对象（各字段见 docs/cli.md）"};
constexpr OptionSpec kCsv{"csv", K::Flag, "", "输出 CSV 表：首行为列名，UTF-8，逗号分隔"};
constexpr OptionSpec kDate{
    "date", K::Date, "D",
    "模拟日期，YYYYMMDD 或 YYYY-MM-DD：只看这一天及以前的行情，参考日为这一天或之前最近的"
    "交易日；须在数据的日期范围内。默认：最新交易日"};
constexpr OptionSpec kMarket{"market", K::Market, "sh|sz|cy|all",
                             "待选股为一个市场：sh 沪市、sz 深市、cy 创板、all 全市（不含指数）"};
constexpr OptionSpec kList{"list", K::Path, "FILE",
                           "待选股从擎宇股票列表文件载入（自选股、选出股文件，GBK 文本）"};
constexpr OptionSpec kCode{"code", K::Code, "CODE",
                           "证券代码，六位数字：600000；指数 999999、399001、399006", true};
constexpr OptionSpec kPeriod{"period", K::Period, "day|week|month",
                             "K 线周期：day 日线、week 周线、month 月线。默认：day"};
constexpr OptionSpec kAdjust{
    "adjust", K::Adjust, "none|forward|backward",
    "复权：none 除权（原始价格）、forward 前复权、backward 后复权。默认：none"};
constexpr OptionSpec kMethod{
    "method", K::Text, "ENTRY",
    "选股方法条目：条件代码和参数，如 \"a3(5,2.00,30.00);\"（5 日内涨幅 2%～30%）；"
    "两位小数的参数是百分数或倍数。全部条件、参数和范围见 bkqy-cli methods",
    true};
constexpr OptionSpec kPickType{
    "type", K::ScanType, "1|2|3",
    "a3 取界限的板块扫描类型：1 涨幅、2 成交增加、3 跌幅（与窗口相同，不保存）。默认：1",
    false, 0, UINT64_MAX, "scan-type"};
constexpr OptionSpec kPickThreshold{
    "threshold", K::Threshold, "T",
    "a3 取界限的扫描阈值，单位同 scan。默认：窗口的初值（类型 1 为 2.00，2 为 100，3 为 1.50）"};

constexpr OptionGroup kCandidates{{"market", "list"}, true};
constexpr OptionGroup kJsonOrCsv{{"json", "csv"}, false};

// ---- the commands ------------------------------------------------------------

// The scan's type and threshold as the commands built on the scan take them.
constexpr OptionSpec kScanType{
    "type", K::ScanType, "1|2|3",
    "扫描类型：1 涨幅（热点板块）、2 成交增加（资金流入板块）、3 跌幅（下跌板块）；"
    "也可写 rise、turnover、fall",
    true};
constexpr OptionSpec kScanThreshold{
    "threshold", K::Threshold, "T",
    "阈值，按窗口的写法：类型 1、3 为百分数，至多两位小数（7.5 即 7.50%），须小于 20%；"
    "类型 2 为整数百分数（100 即成交额至少翻一倍）",
    true};
constexpr OptionGroup kJsonOrCsvRequired{{"json", "csv"}, true};

constexpr OptionSpec kScanOptions[] = {
    kData,
    kScanType,
    kScanThreshold,
    kMarket,
    kList,
    kDate,
    {"top", K::Count, "N", "只列出排名前 N 的板块（1 起）。默认：全部", false, 1},
    kJson,
    kCsv,
};
constexpr OptionGroup kScanGroups[] = {kCandidates, kJsonOrCsv};


// A trading year at the most: the days' tails are read once and kept.
constexpr uint64_t kMostScanDays = 250;

constexpr OptionSpec kRotationOptions[] = {
    kData,
    kScanType,
    kScanThreshold,
    kMarket,
    kList,
    {"days", K::Count, "N", "交易日数：到 --to 为止的最后 N 个交易日（1～250）", true, 1,
     kMostScanDays},
    {"to", K::Date, "D",
     "最后一天，YYYYMMDD 或 YYYY-MM-DD，按模拟日期检查；参考日为这一天或之前最近的交易日。"
     "默认：最新交易日"},
    kJson,
    kCsv,
};
constexpr OptionGroup kRotationGroups[] = {kCandidates, kJsonOrCsvRequired};

constexpr OptionSpec kScorecardOptions[] = {
    kData,
    kScanType,
    kScanThreshold,
    kMarket,
    kList,
    {"from", K::Date, "D", "第一天，YYYYMMDD 或 YYYY-MM-DD", true},
    {"to", K::Date, "D",
     "最后一天，按模拟日期检查；参考日为这一天或之前最近的交易日", true},
    {"top", K::Count, "K", "每天取扫描排名前 K 的板块。默认：5", false, 1, 50},
    {"horizons", K::Text, "H,H,...",
     "持有的交易日数，1～60，由小到大，逗号分隔。默认：1,3,5"},
    kJson,
    kCsv,
};
constexpr OptionGroup kScorecardGroups[] = {kCandidates, kJsonOrCsv};

constexpr OptionSpec kSelfcheckOptions[] = {
    kData,
    {"pit", K::Flag, "", "时点检查：扫描只看到参考日为止的数据", true},
    {"date", K::Date, "D", "检查的日子（模拟日期），YYYYMMDD 或 YYYY-MM-DD", true},
    kJson,
};

constexpr OptionSpec kPickOptions[] = {kData, kMethod, kMarket, kList, kDate, kPickType,
                                       kPickThreshold, kJson, kCsv};
constexpr OptionGroup kPickGroups[] = {kCandidates, kJsonOrCsv};

constexpr OptionSpec kHistoryOptions[] = {
    kData,
    kMethod,
    {"lookback", K::Count, "L", "从模拟日期往前查找的交易日数（0 只看模拟日期当天）", true},
    kMarket,
    kList,
    {"date", K::Date, "D",
     "模拟日期（YYYYMMDD 或 YYYY-MM-DD），须在数据的日期范围内。默认：窗口启动时的模拟日期，"
     "即最新交易日之前第 9 个交易日"},
    kPickType,
    kPickThreshold,
    {"out", K::Path, "FILE",
     "把结果写成报告文件（GBK，与窗口的 MKDAT/DEMO_Find.TXT 同格式）。默认：不写文件"},
    kJson,
};
constexpr OptionGroup kHistoryGroups[] = {kCandidates};

constexpr OptionSpec kEstimateOptions[] = {kData, kCode, kDate, kJson};

constexpr OptionSpec kIndicatorOptions[] = {
    kData,
    kCode,
    {"indicator", K::Indicator, "K",
     "指标号或指标名（大小写均可），参数为标准值",
     true, 0, indicators::kLastIndicator},
    kPeriod,
    kAdjust,
    kJson,
    kCsv,
};
constexpr OptionGroup kIndicatorGroups[] = {kJsonOrCsv};

constexpr OptionSpec kBarsOptions[] = {
    kData,
    kCode,
    kPeriod,
    kAdjust,
    {"from", K::Date, "D", "第一根 K 线的最早日期（YYYYMMDD 或 YYYY-MM-DD）。默认：最早一根"},
    {"to", K::Date, "D", "最后一根 K 线的最晚日期。默认：最后一根"},
    kJson,
    kCsv,
};
constexpr OptionGroup kBarsGroups[] = {{{"json", "csv"}, true}};

constexpr OptionSpec kSummaryOptions[] = {kData, kJson};
constexpr OptionSpec kMethodsOptions[] = {kJson};
constexpr OptionSpec kWatchOptions[] = {kData, kJson};

constexpr OptionSpec kScale = {
    "scale", K::Count, "1|2",
    "图片的像素倍数：2 时按两倍像素绘制（线和矩形精确加倍，文字按加倍的字号绘制），如同窗口在高密度"
    "屏幕上。默认：1", false, 1, 2};
constexpr OptionSpec kPng = {"png", K::Path, "FILE", "保存的 PNG 图片文件", true};

constexpr OptionSpec kChartOptions[] = {
    kData,
    kCode,
    kPeriod,
    kAdjust,
    {"indicator", K::Indicator, "K",
     "下方指标窗口的指标，指标号或指标名。默认：窗口的设置", false,
     indicators::kFirstPanelIndicator, indicators::kLastIndicator},
    {"zoom", K::Count, "Z", "缩放级别（0 为最宽）。默认：窗口的初值", false, 0, chart::kMaxZoom},
    kDate,
    kScale,
    {"area", K::Area, "window|chart|page",
     "保存的部分：window 整个窗口（1023×701），chart 上半部的图表（1023×380），page 下半部的板块页"
     "（1023×321）。默认：window"},
    kPng,
};

constexpr OptionSpec kShotOptions[] = {
    kData,
    {"type", K::ScanType, "1|2|3",
     "先在窗口中做一次板块扫描，类型同 scan；不给则保存刚启动的窗口", false, 0, UINT64_MAX,
     "scan-type"},
    {"threshold", K::Threshold, "T",
     "扫描阈值，单位同 scan。默认：窗口的初值（类型 1 为 2.00，2 为 100，3 为 1.50）"},
    kMarket,
    kList,
    {"page", K::Text, "sector|picking|rotation",
     "显示的页面：sector 板块页面（启动时的页面）、picking 条件选股页面、rotation 上半部分的"
     "板块轮动热图（按“板块轮动”，须与 --type 一起给出）。默认：sector"},
    {"condition", K::Text, "CODE",
     "条件选股页面上打开的选股条件，如 a3、b18：显示它的设置板、说明文章和示例图片；"
     "须与 --page picking 一起给出"},
    {"days", K::Count, "N",
     "板块轮动热图的交易日数（20～60），须与 --page rotation 一起给出。默认：40", false, 20, 60},
    kDate,
    kScale,
    kPng,
};
constexpr OptionGroup kShotGroups[] = {{{"market", "list"}, false}};

constexpr OptionSpec kPicturesOptions[] = {kData};

constexpr OptionSpec kDemoOptions[] = {
    {"data", K::Path, "DIR", "写入演示市场的数据目录（不存在则创建）", true},
    {"stocks", K::Count, "N", "股票只数。默认：4000", false, 1, UINT32_MAX},
    {"years", K::Count, "Y", "行情年数。默认：10", false, 1, 100},
    {"end", K::Date, "D", "最后一个交易日。默认：今天之前最近的工作日"},
    {"seed", K::Count, "S", "随机数种子，同一种子写出同样的市场。默认：1"},
    {"packages", K::Path, "PKGDIR",
     "数据目录只写到最后 20 个交易日之前，PKGDIR 中写入补齐它的数据包和样例数据"},
    kJson,
};

constexpr OptionSpec kInstallOptions[] = {
    kData,
    {"force", K::Flag, "", "日期不比已安装的新的表文件也安装"},
    kJson,
};

constexpr OptionSpec kImportOptions[] = {
    {"data", K::Path, "DIR", "导入的数据目录（可以是空的或新的）", true},
    {"vipdoc", K::Path, "DIR", "行情软件的 vipdoc 文件夹（sh/lday、sz/lday 下的 .day 文件）"},
    {"csv", K::Path, "PATH",
     "CSV 日线：一个文件或一个文件夹，列为 date,open,high,low,close,volume,amount（元、股、元）"},
    {"names", K::Path, "FILE", "与 --vipdoc 或 --csv 同用：证券名称 code,name[,initials,...]"},
    {"sectors", K::Path, "FILE", "板块 CSV：family,sector,code，替换板块库"},
    {"exrights", K::Path, "FILE",
     "除权 CSV：code,date,bonus_per10,dividend_per10,rights_per10,rights_price，逐条并入"},
    kJson,
};
constexpr OptionGroup kImportGroups[] = {{{"vipdoc", "csv", "sectors", "exrights"}, true}};

constexpr CommandSpec kCommands[] = {
    {
        .name = "scan",
        .summary = "板块扫描：找出单日涨幅、成交增加或跌幅达到阈值的个股，按板块打分排名",
        .synopsis = "--data DIR --type 1|2|3 --threshold T (--market sh|sz|cy|all | --list FILE)\n"
                    "[--date D] [--top N] [--json | --csv]",
        .description =
            "与窗口中的“板块扫描”相同：对每只待选股取参考日与前一日的前复权收盘价（类型 2 为成交额）"
            "比较，选出达到阈值的个股，按概念、行业、地区板块统计选出股，以选出比例、个数和平均幅度"
            "给板块打分排名。\n"
            "选出条件：类型 1 涨幅不低于阈值，且不超过 10.99%（涨跌幅限制 20% 的股票——科创板 688、"
            "689 和 2020-08-24 起的创业板 300、301——为 20.99%）；上市不久的新股不计。类型 3 跌幅"
            "同样。类型 2 成交额增幅不低于阈值且收盘价上涨。\n"
            "文本输出：首行为参考日、市场、扫描方式和统计；每个板块一行（排名、板块序号 = 类别×1000"
            "+编号、板块名称、选出股数、板块成员数、得分），其下为它的选出股（代码、名称、涨跌幅）。\n"
            "--csv 每行一只（板块, 选出股）；--json 中幅度为带符号的百分数（涨 10.07、跌 -6.74），"
            "原始整数在 *_raw 字段（百分之一个百分点；类型 2 为整数百分数）。\n"
            "扫描把读到的各股最新日线记录存入 MKDAT/BKQYTAIL.DAT；下次扫描时，日线文件未改动"
            "（大小、修改和变更时间都相同）的股票直接从中取用。它只是副本：删掉只慢一次，损坏则重写。",
        .options = kScanOptions,
        .groups = kScanGroups,
        .examples = "bkqy-cli scan --data demo-market --type 1 --threshold 7.5 --market all --top 10\n"
                    "bkqy-cli scan --data demo-market --type 3 --threshold 5 --market sh --date 2026-11-20 --json",
    },
    {
        .name = "rotation",
        .summary = "板块轮动：最后 N 个交易日每天的板块扫描排名和得分，及最后一天进出前十的板块",
        .synopsis = "--data DIR --type 1|2|3 --threshold T (--market sh|sz|cy|all | --list FILE)\n"
                    "--days N [--to D] (--json | --csv)",
        .description =
            "对到 --to（默认最新交易日）为止的最后 N 个交易日，每天做一次板块扫描，与以这一天为模拟"
            "日期的 scan 完全相同（同一段程序，排名、得分和选出股数一致），每天只看到这一天为止的"
            "行情。列出每天每个板块的排名、选出股数和得分，以及最后一天新进入和退出前十名的板块"
            "（与前一交易日比较）。",
        .options = kRotationOptions,
        .groups = kRotationGroups,
        .examples = "bkqy-cli rotation --data demo-market --type 1 --threshold 7.5 --market all --days 20 --json\n"
                    "bkqy-cli rotation --data demo-market --type 3 --threshold 5 --market sh --days 60 "
                    "--to 2026-11-20 --csv",
    },
    {
        .name = "scorecard",
        .summary = "扫描成绩：每天扫描排名前 K 的板块此后 h 日的收益与全部待选股比较",
        .synopsis = "--data DIR --type 1|2|3 --threshold T (--market sh|sz|cy|all | --list FILE)\n"
                    "--from D --to D [--top K] [--horizons 1,3,5] [--json | --csv]",
        .description =
            "对 --from 到 --to 之间的每个交易日做那一天的板块扫描（与以这一天为模拟日期的 scan "
            "相同），取排名前 K 的板块。一个板块 h 日的收益是它的选出股从这一天收盘到其后第 h 个"
            "交易日收盘的收益的平均（以后一天为准前复权，期间除权不算亏损；那一天停牌的股票取停牌前"
            "的收盘价）；前 K 个板块的收益取平均，与这一天全部有 K 线的待选股的平均收益比较。\n"
            "每个持有期给出胜率（前 K 个板块跑赢全部待选股的天数占计入天数的比例）和平均超额收益；"
            "其后不满 h 个交易日的日子不计入，单独计数。文本输出还画出第一个持有期每天的超额收益。",
        .options = kScorecardOptions,
        .groups = kScorecardGroups,
        .examples = "bkqy-cli scorecard --data demo-market --type 1 --threshold 7.5 --market all "
                    "--from 2026-01-05 --to 2026-12-04\n"
                    "bkqy-cli scorecard --data demo-market --type 1 --threshold 5 --market sh "
                    "--from 2026-06-01 --to 2026-11-30 --top 3 --horizons 1,5,10 --json",
    },
    {
        .name = "selfcheck",
        .summary = "自检：一天的板块扫描只用到这一天为止的数据",
        .synopsis = "--pit --data DIR --date D [--json]",
        .description =
            "把数据目录复制到临时文件夹，每个日线文件只留到 --date 为止，然后在原目录和副本上以 "
            "--date 为模拟日期各做三种板块扫描（涨幅 5%、成交增加 50%、跌幅 5%，全部股票），比较"
            "参考日、选出股、板块排名、得分和涨停跌停统计；有任何不同即未通过（退出码 1）。"
            "副本用后删除。",
        .options = kSelfcheckOptions,
        .examples = "bkqy-cli selfcheck --pit --data demo-market --date 2026-11-25",
    },
    {
        .name = "pick",
        .summary = "选股：按一条选股方法检查每只待选股，列出选出股和信号标记",
        .synopsis = "--data DIR --method ENTRY (--market sh|sz|cy|all | --list FILE) [--date D]\n"
                    "[--type 1|2|3] [--threshold T] [--json | --csv]",
        .description =
            "在参考日（最新交易日或模拟日期）按选股方法检查每只待选股。方法条目写作 代码(参数,…);，"
            "如 a3(5,2.00,30.00); 表示 5 日内涨幅在 2.00% 到 30.00% 之间；bkqy-cli methods 列出全部 "
            "69 个条件及其参数。a3 的界限还取板块扫描的设置（--type、--threshold）。\n"
            "每只选出股带信号标记（mark_raw）：条件写下的 1～3 个整数，如涨幅（百分之一个百分点）、"
            "指标值×100、突破的高点（0.01 元）或形态的上下价格和 K 线数。",
        .options = kPickOptions,
        .groups = kPickGroups,
        .examples = "bkqy-cli pick --data demo-market --method \"a3(5,2.00,30.00);\" --market all\n"
                    "bkqy-cli pick --data demo-market --method \"b24(12,26,9);\" --market sh --json",
    },
    {
        .name = "history",
        .summary = "历史选股：从模拟日期往前 L 个交易日内，每只股票第一次满足方法的日子",
        .synopsis = "--data DIR --method ENTRY --lookback L (--market sh|sz|cy|all | --list FILE)\n"
                    "[--date D] [--type 1|2|3] [--threshold T] [--out FILE] [--json]",
        .description =
            "对每只待选股，从模拟日期起逐日往前（最多 L 个交易日）检查选股方法，记下最近一次满足的"
            "日子及往前的天数。方法条目写法同 pick。--out 把结果写成报告文件（窗口写在 "
            "MKDAT/DEMO_Find.TXT 的格式）。",
        .options = kHistoryOptions,
        .groups = kHistoryGroups,
        .examples = "bkqy-cli history --data demo-market --method \"a3(1,5.00,9.00);\" --lookback 5 "
                    "--market all --date 20261127 --out found.txt",
    },
    {
        .name = "estimate",
        .summary = "个股顶部底部测算：短期见顶、见底的概率",
        .synopsis = "--data DIR --code CODE [--date D] [--json]",
        .description =
            "与窗口中的“测顶”“测底”相同：取个股到参考日的最后十根日线（前复权），五个因素各有权重"
            "（默认各 18%），所占权重之和即概率（%）；一个因素都没有时为 10%。只对个股，指数代码被拒绝。",
        .options = kEstimateOptions,
        .examples = "bkqy-cli estimate --data demo-market --code 600000\n"
                    "bkqy-cli estimate --data demo-market --code 600000 --date 2026-11-20 --json",
    },
    {
        .name = "indicator",
        .summary = "技术指标：一个指标在每根 K 线上的值",
        .synopsis = "--data DIR --code CODE --indicator K [--period day|week|month]\n"
                    "[--adjust none|forward|backward] [--json | --csv]",
        .description =
            "按图表的计算给出一个指标（标准参数）在每根 K 线上的各条线。MA 以元（指数为点）计，VOL "
            "以手计（指数为万手），BOLL 以元计，其余为指标本身的值；无值（K 线不够）为空，JSON 中为 "
            "null。小数取能还原出同一单精度值的最短写法。",
        .options = kIndicatorOptions,
        .groups = kIndicatorGroups,
        .examples = "bkqy-cli indicator --data demo-market --code 600000 --indicator MACD\n"
                    "bkqy-cli indicator --data demo-market --code 600000 --indicator 0 --period week --csv",
    },
    {
        .name = "bars",
        .summary = "导出 K 线：一只证券的日线、周线或月线（元、手、元）",
        .synopsis = "--data DIR --code CODE [--period day|week|month] [--adjust none|forward|backward]\n"
                    "[--from D] [--to D] (--json | --csv)",
        .description =
            "导出一只证券（个股或指数）的 K 线，供其他软件使用：日期 YYYYMMDD，开盘、最高、最低、收盘"
            "以元计（指数以点计，两位小数），成交量以手计（一手 100 股），成交额以元计。",
        .options = kBarsOptions,
        .groups = kBarsGroups,
        .examples = "bkqy-cli bars --data demo-market --code 600000 --adjust forward --csv > 600000.csv\n"
                    "bkqy-cli bars --data demo-market --code 999999 --period week --from 2026-01-01 --json",
    },
    {
        .name = "summary",
        .summary = "数据概况：启动数据目录，列出载入的表和最新交易日的涨跌家数",
        .synopsis = "--data DIR [--json]",
        .description =
            "像窗口一样启动数据目录，列出代码表、除权表、板块库、自选股、选股示例和大盘指数的情况，"
            "以及最新交易日全部股票的涨跌家数（前复权收盘价与前一日比较）和所用时间。"
            "数值不合理而未用的除权事件、无法使用而跳过的板块也列出（JSON 中的 ignored_events 和 "
            "skipped），损坏的文件在 stderr 上逐个说明。",
        .options = kSummaryOptions,
        .examples = "bkqy-cli summary --data demo-market",
    },
    {
        .name = "methods",
        .summary = "选股条件目录：每个条件的标题、参数、范围和示例条目",
        .synopsis = "[--json]",
        .description =
            "列出选股条件目录（a1–a9、b1–b57、c1–c3 共 69 个），写 pick 和 history 的方法条目用："
            "每个条件的标题、用标准值写成的示例条目、每个参数的名称、标准值和设置板接受的范围"
            "（N=20 (0 or ≥6) 表示 0 关闭形态的前提），不选股的条件标注 (不选股)。两位小数的参数写"
            "两位小数（20.00 即 20%，1.50 即 1.5 倍）。",
        .options = kMethodsOptions,
        .examples = "bkqy-cli methods\nbkqy-cli methods --json",
    },
    {
        .name = "watch",
        .summary = "自选股：列出、加入、删除、保存和载入设置文件中的自选股",
        .synopsis = "--data DIR (list | add CODE | remove CODE | save | load FILE) [--json]",
        .description =
            "编辑窗口的自选股（保存在 MKDAT/Inif2.DAT，窗口运行时不能同时使用），规则和提示与窗口"
            "相同：add 像“加入自选”一样加在最前面（指数、已有的股票和超过 3000 只时拒绝）；remove "
            "删除一只；save 写入 XG/ZX<yymmdd>-<nnn>.TXT；load 用擎宇自选股文件替换自选股（损坏的"
            "文件被拒绝，原自选股保留）。编辑后列出自选股。",
        .options = kWatchOptions,
        .examples = "bkqy-cli watch --data demo-market list\n"
                    "bkqy-cli watch --data demo-market add 600000\n"
                    "bkqy-cli watch --data demo-market save --json",
        .takesFiles = true,
    },
    {
        .name = "chart",
        .summary = "K 线图：把窗口中一只证券的图表保存为 PNG",
        .synopsis = "--data DIR --code CODE [--period day|week|month] [--adjust none|forward|backward]\n"
                    "[--indicator K] [--zoom 0..15] [--date D] [--scale 1|2] [--area window|chart|page]\n"
                    "--png FILE",
        .description = "在屏幕外启动窗口，打开这只证券的图表，保存为 PNG 图片（1023×701）。",
        .options = kChartOptions,
        .examples = "bkqy-cli chart --data demo-market --code 600000 --indicator MACD --png 600000.png",
        .needsWindow = true,
    },
    {
        .name = "shot",
        .summary = "窗口截图：把刚启动的窗口或扫描后的窗口保存为 PNG",
        .synopsis = "--data DIR [--type 1|2|3 [--threshold T] [--market sh|sz|cy|all | --list FILE]]\n"
                    "[--page sector|picking [--condition CODE] | --page rotation [--days N]] [--date D]\n"
                    "[--scale 1|2] --png FILE",
        .description =
            "在屏幕外启动窗口并保存为 PNG 图片（1023×701）。给出 --type 时先像用户那样选择待选股"
            "（默认全市）、扫描方式和阈值，按“板块扫描”，再保存显示结果的窗口。给出 --page picking "
            "时按“条件选股”打开条件选股页面，--condition 再在方法库中点取这个条件。给出 --page "
            "rotation 时在扫描后按“板块轮动”：上半部分显示这次扫描的方式和阈值在最后 N 个交易日的"
            "板块排名热图。",
        .options = kShotOptions,
        .groups = kShotGroups,
        .examples = "bkqy-cli shot --data demo-market --png start.png\n"
                    "bkqy-cli shot --data demo-market --type 1 --threshold 7.5 --market all --png scan.png\n"
                    "bkqy-cli shot --data demo-market --page picking --condition b18 --png picking.png\n"
                    "bkqy-cli shot --data demo-market --type 1 --threshold 5 --page rotation --days 60 "
                    "--png rotation.png",
        .needsWindow = true,
    },
    {
        .name = "pictures",
        .summary = "示例图片：为方法库中每个选股条件画出说明旁的示例图片",
        .synopsis = "--data DIR",
        .description =
            "为初级、中级方法库列出的每个条件写出 MKDAT/mk<g><nnn>.jpg（a3 为 mk2003.jpg）：按 "
            "MKDAT/DEMOD.TXT 中这个条件的示例，以示例日期为模拟日期，用设置板的默认条件对示例市场的"
            "待选股选股，画出第一只选出股到这一天为止的前复权日 K 线（价格部分，330 像素宽）；"
            "没有选出股时取这个市场的第一只待选股。每行列出条件、日期和所画的股票。demo 写出演示"
            "市场后自动运行它。",
        .options = kPicturesOptions,
        .examples = "bkqy-cli pictures --data demo-market",
        .needsWindow = true,
    },
    {
        .name = "install",
        .summary = "安装数据：日线数据包和代码表、板块库、除权表文件",
        .synopsis = "--data DIR FILE... [--force] [--json]",
        .description =
            "按文件本身安装：日线数据包（任何文件名，按包头识别）并入各证券的日线文件；MKCODE.TXT、"
            "CODEADD.TXT、BKLIB.TXT、MKCQ.TXT、CQADD.TXT 替换或补充代码表、板块库和除权表。表文件的"
            "日期不比已安装的新时被拒绝，除非给出 --force。每个文件都经临时文件和改名写入；被中断的"
            "安装再运行一次即可完成。",
        .options = kInstallOptions,
        .examples = "bkqy-cli install --data demo-market pkg/DAY20261204.TXT pkg/CQADD.TXT",
        .takesFiles = true,
    },
    {
        .name = "import",
        .summary = "导入数据：vipdoc 文件夹、CSV 日线、板块和除权 CSV",
        .synopsis = "--data DIR (--vipdoc DIR | --csv PATH) [--names FILE] [--json]\n"
                    "--data DIR --sectors FILE [--json]\n"
                    "--data DIR --exrights FILE [--json]",
        .description =
            "把用户已有的行情导入数据目录，目录可以是空的：需要的文件夹和表会建立。日线换算为日线"
            "文件的单位（0.01 元、万元、手，四舍五入）；导入的日期范围替换原有的 K 线。价格超出 "
            "655.35 元的股票被拒绝。每次运行导入一种来源。",
        .options = kImportOptions,
        .groups = kImportGroups,
        .examples = "bkqy-cli import --data ~/market --vipdoc /path/to/vipdoc --names names.csv\n"
                    "bkqy-cli import --data ~/market --sectors sectors.csv",
    },
    {
        .name = "demo",
        .summary = "演示市场：写出一个确定的、逼真的数据目录",
        .synopsis = "--data DIR [--stocks N] [--years Y] [--end D] [--seed S] [--packages PKGDIR] [--json]",
        .description =
            "写出演示市场：代码表、三个指数、沪深主板、科创板、创业板股票多年的日线（涨跌停、停牌、"
            "分红送股记入除权表）、板块库和选股示例。同样的选项总写出同样的文件。\n"
            "然后由同一文件夹中的出图程序 bkqy-cli-window 画出各选股条件的示例图片 "
            "MKDAT/mk<g><nnn>.jpg（同 bkqy-cli pictures；给出 --packages 时按完整的市场画）。"
            "出图程序找不到或失败时，演示市场照样写好，stderr 上说明图片未画出的原因，退出码为 1。",
        .options = kDemoOptions,
        .examples = "bkqy-cli demo --data demo-market\n"
                    "bkqy-cli demo --data /tmp/m --packages /tmp/pkg",
    },
};

}  // namespace

std::span<const CommandSpec> Commands() { return kCommands; }

const CommandSpec* FindCommand(std::string_view name) {
    for (const CommandSpec& command : kCommands)
        if (command.name == name) return &command;
    return nullptr;
}

}  // namespace cli
