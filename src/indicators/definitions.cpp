// The indicator table: one entry per indicator, in index order.
#include <array>

#include "indicators/catalogue.h"
#include "indicators/formulas.h"
#include "indicators/recursions.h"
#include "indicators/series_calculations.h"
#include "indicators/series_work.h"

namespace indicators {
namespace {

constexpr base::Rgb kWhite{255, 255, 255};
constexpr base::Rgb kYellow{255, 255, 0};
constexpr base::Rgb kMagenta{240, 0, 240};
constexpr base::Rgb kGreen{70, 208, 78};
constexpr base::Rgb kCyan{0, 255, 255};

// The starting palette in order, cut to the record's colour count.
constexpr ColourList Palette(int count) {
    constexpr std::array<base::Rgb, kMaxColours> kPalette{kWhite, kYellow, kMagenta, kGreen, kCyan};
    ColourList colours;
    for (colours.count = 0; colours.count < count; ++colours.count)
        colours.items[colours.count] = kPalette[colours.count];
    return colours;
}

// Line k is the mean of a bar value over parameter k bars, as the average
// formulas give it, with the window sum slid along the wanted bars instead of
// summed afresh at each. The sums are exact integers, so every mean is the
// formula's own.
template <auto kValueOf, auto kMean>
void SlidingMeans(SeriesWork& work) {
    const DecodedBars& bars = work.Bars();
    for (int k = 0; k < work.LineCount(); ++k) {
        const int32_t n = work.Param(k);
        uint64_t sum = 0;
        bool slid = false;  // whether `sum` holds the window ending at the previous bar
        work.Fill(k, [&](size_t t) -> uint32_t {
            if (!HasBars(t, n)) return 0;
            if (slid) {
                sum = sum + kValueOf(bars[t]) - kValueOf(bars[t - n]);
            } else {
                for (int32_t j = 0; j < n; ++j) sum += kValueOf(bars[t - j]);
                slid = true;
            }
            return kMean(sum, n);
        });
    }
}

constexpr std::array<IndicatorDef, kIndicatorCount> kDefinitions = {{
    {
        .id = kMa,
        .name = "价格均线MA",
        .params = {{5, {0, 999}}, {10, {0, 999}}, {20, {0, 999}}, {30, {0, 999}}, {60, {0, 999}}},
        .kind = LineKind::PriceAverage,
        .lines =
            {{.labelX = 225}, {.labelX = 362}, {.labelX = 499}, {.labelX = 636}, {.labelX = 773}},
        .colours = Palette(5),
        .panel = {.scale = ScaleKind::None},
        .calculate = SlidingMeans<CloseOf, RoundedMean>,
    },
    {
        .id = kVol,
        .name = "量均线VOL",
        .tabName = "VOL",
        .params = {{5, {1, 10}}, {10, {5, 30}}, {30, {10, 60}}},
        .kind = LineKind::VolumeAverage,
        .lines = {{.labelX = 250}, {.labelX = 387}, {.labelX = 524}},
        .colours = Palette(3),
        .panel = {.scale = ScaleKind::Volume, .decimals = 0},
        .calculate = SlidingMeans<VolumeOf, TruncatedMean>,
    },
    {
        .id = kRsi,
        .name = "相对强弱RSI",
        .tabName = "RSI",
        .params = {{6, {2, 100}}, {12, {2, 100}}, {24, {2, 100}}},
        .lines = {{.labelX = 250}, {.labelX = 387}, {.labelX = 524}},
        .colours = Palette(3),
        .panel = {.scale = ScaleKind::Fixed, .fifthLines = true},
        .recursion = Recursion::FromOldestBar,
        .calculate = RsiSeries,
        .carry = StartCarryOf<RsiLines>,
    },
    {
        .id = kBias,
        .name = "乖离率BIAS",
        .tabName = "BIAS",
        .params = {{6, {1, 300}}, {12, {1, 300}}, {24, {1, 300}}},
        .lines = {{.labelX = 250}, {.labelX = 387}, {.labelX = 524}},
        .colours = Palette(3),
        .panel = {.startHigh = -100, .startLow = 100},
        .calculate = BiasSeries,
    },
    {
        .id = kMacd,
        .name = "平滑异同MACD",
        .tabName = "MACD",
        .params = {{12, {5, 40}}, {26, {20, 100}}, {9, {2, 60}}},
        .lines = {{.label = "DIFF:", .labelX = 229},
                  {.label = "DEA:", .labelX = 372},
                  {.label = "MACD:", .labelX = 503, .draw = LineDraw::Histogram}},
        .colours = {kWhite, kYellow, kMagenta, {213, 0, 0}, {92, 249, 254}},
        .panel = {.startHigh = -10, .startLow = 10},
        .histogram = {.rise = 3, .fall = 4, .fallOnLight = {51, 102, 0}},
        .recursion = Recursion::FromOldestBar,
        .calculate = MacdSeries,
        .carry = StartCarryOf<MacdLines>,
    },
    {
        .id = kKd,
        .name = "随机指标KD",
        .tabName = "KD",
        .params = {{9, {1, 100}}, {3, {2, 40}}, {3, {2, 40}}},
        .lines = {{.label = "K:", .labelX = 247}, {.label = "D:", .labelX = 384}},
        .colours = Palette(3),
        .panel = {.scale = ScaleKind::Fixed, .fifthLines = true},
        .recursion = Recursion::FromOldestBar,
        .calculate = KdSeries,
        .carry = StartCarryOf<KdLines>,
    },
    {
        .id = kKdj,
        .name = "随机指标KDJ",
        .tabName = "KDJ",
        .params = {{9, {1, 100}}, {3, {2, 40}}, {3, {2, 40}}},
        .lines = {{.label = "K:", .labelX = 247},
                  {.label = "D:", .labelX = 384},
                  {.label = "J:", .labelX = 521}},
        .colours = Palette(3),
        .panel = {.scale = ScaleKind::Fixed, .fifthLines = true},
        .recursion = Recursion::FromOldestBar,
        .calculate = KdSeries,
        .carry = StartCarryOf<KdLines>,
    },
    {
        .id = kBoll,
        .name = "布林线BOLL",
        .tabName = "BOLL",
        .params = {{26, {5, 300}}, {2, {1, 10}}},
        .kind = LineKind::Band,
        .lines = {{.label = "MID:", .labelX = 235, .scaled = false},
                  {.label = "UPPER:", .labelX = 360},
                  {.label = "LOWER:", .labelX = 497}},
        .colours = Palette(3),
        .panel = {.startHigh = 0, .startLow = 10000, .candles = true},
        .calculate = BollSeries,
    },
    {
        .id = kWr,
        .name = "威廉指标W&R",
        .tabName = "W&R",
        .params = {{14, {2, 100}}, {28, {2, 100}}},
        .lines = {{.label = "WR1:", .labelX = 235}, {.label = "WR2:", .labelX = 372}},
        .colours = Palette(2),
        .panel = {.scale = ScaleKind::Fixed},
        .calculate = WilliamsRSeries,
    },
    {
        .id = kDmi,
        .name = "趋向指标DMI",
        .tabName = "DMI",
        .params = {{14, {2, 100}}, {6, {1, 100}}},
        .lines = {{.label = "PDI:", .labelX = 235},
                  {.label = "MDI:", .labelX = 372},
                  {.label = "ADX:", .labelX = 509},
                  {.label = "ADXR:", .labelX = 642}},
        .colours = Palette(4),
        .panel = {.startHigh = -100, .startLow = 100},
        .calculate = DmiSeries,
    },
    {
        .id = kCci,
        .name = "顺势指标CCI",
        .tabName = "CCI",
        .params = {{14, {2, 100}}},
        .lines = {{.labelX = 250}},
        .colours = Palette(1),
        .panel = {.startHigh = -3000, .startLow = 3000},
        .calculate = CciSeries,
    },
    {
        .id = kArbr,
        .name = "人气意愿ARBR",
        .tabName = "ARBR",
        .params = {{26, {2, 300}}},
        .lines = {{.label = "AR:", .labelX = 241}, {.label = "BR:", .labelX = 378}},
        .colours = Palette(2),
        .panel = {.startHigh = -1000, .startLow = 1000},
        .calculate = ArbrSeries,
    },
    {
        .id = kPsy,
        .name = "心理线PSY",
        .tabName = "PSY",
        .params = {{12, {2, 100}}},
        .lines = {{.labelX = 250}},
        .colours = Palette(1),
        .panel = {.startHigh = 0, .startLow = 100},
        .calculate = PsySeries,
    },
    {
        .id = kObv,
        .name = "能量潮OBV",
        .tabName = "OBV",
        .params = {},
        .lines = {{.label = "OBV:", .labelX = 235}},
        .colours = Palette(1),
        .panel = {.startHigh = -100000,
                  .startLow = 99999999999999.0,
                  .decimals = 0,
                  .zeroLeftOut = true,
                  .indexUnit = 0.01,
                  .unadjustedWhenWide = true},
        .recursion = Recursion::FromOldestBar,
        .calculate = ObvSeries,
    },
    {
        .id = kCr,
        .name = "能量指标CR",
        .tabName = "CR",
        .params = {{26, {5, 300}}, {5, {1, 99}}, {10, {1, 99}}, {20, {1, 99}}},
        .lines = {{.label = "CR:", .labelX = 241},
                  {.label = "MA1:", .labelX = 372},
                  {.label = "MA2:", .labelX = 509},
                  {.label = "MA3:", .labelX = 646}},
        .colours = Palette(4),
        .panel = {.startHigh = 0, .startLow = 1000},
        .calculate = CrSeries,
    },
    {
        .id = kVr,
        .name = "容量比率VR",
        .tabName = "VR",
        .params = {{26, {5, 300}}},
        .lines = {{.label = "VR:", .labelX = 241}},
        .colours = Palette(1),
        .panel = {.startHigh = 0, .startLow = 1000},
        .calculate = VrSeries,
    },
    {
        .id = kRoc,
        .name = "变动速率ROC",
        .tabName = "ROC",
        .params = {{12, {1, 100}}, {6, {1, 50}}},
        .lines = {{.label = "ROC:", .labelX = 235}, {.label = "ROCMA:", .labelX = 360}},
        .colours = Palette(2),
        .calculate = RocSeries,
    },
    {
        .id = kDma,
        .name = "平均线差DMA",
        .tabName = "DMA",
        .params = {{10, {2, 300}}, {50, {10, 300}}, {10, {1, 300}}},
        .lines = {{.label = "DDD:", .labelX = 235}, {.label = "AMA:", .labelX = 372}},
        .colours = Palette(2),
        .calculate = DmaSeries,
    },
}};

// Mistakes the compiler can see: an entry out of place, a line without a
// colour, a standard value its own range refuses, a histogram colour the
// record does not hold. (Function pointers are not compared here: sanitizer
// builds cannot compare them at compile time; a test checks them.)
constexpr bool Consistent(const IndicatorDef& def, int index) {
    if (def.id != index) return false;
    if (def.LineCount() == 0 || def.colours.count < def.LineCount()) return false;
    for (int p = 0; p < def.params.count; ++p)
        if (!def.params.ranges[p].Contains(def.params.standard[p])) return false;
    for (int k = 0; k < def.LineCount(); ++k)
        if (def.lines[k].draw == LineDraw::Histogram &&
            (def.histogram.rise >= def.colours.count || def.histogram.fall >= def.colours.count))
            return false;
    return true;
}

constexpr bool AllConsistent() {
    for (int i = 0; i < kIndicatorCount; ++i)
        if (!Consistent(kDefinitions[i], i)) return false;
    return true;
}
static_assert(AllConsistent());

}  // namespace

const IndicatorDef& DefinitionOf(int index) {
    return kDefinitions[IsIndicator(index) ? index : kMa];
}

}  // namespace indicators
