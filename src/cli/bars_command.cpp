// bkqy-cli bars: one security's bars for other tools: prices in yuan (index
// points), volume in lots, amount in yuan; daily, weekly or monthly, in the
// chosen adjustment, between two dates.
#include <cstdio>
#include <string>

#include "cli/csv.h"
#include "cli/dispatch.h"
#include "cli/json.h"
#include "cli/series_setup.h"
#include "cli/values.h"
#include "picking/catalogue.h"

namespace cli {
namespace {

// The day files keep amounts in 10,000 yuan.
constexpr uint64_t kYuanPerAmountUnit = 10'000;

// One bar in the units it is exported in.
struct ExportBar {
    uint32_t date = 0;
    std::string open, high, low, close;  // yuan (points), two decimals
    uint64_t volume = 0;                 // lots
    uint64_t amount = 0;                 // yuan
};

ExportBar Export(const data::SeriesView& view, size_t offset) {
    const data::Bar bar = data::DecodeBar(view, offset);
    ExportBar e;
    e.date = bar.date;
    e.open = picking::TwoDecimals(bar.open);
    e.high = picking::TwoDecimals(bar.high);
    e.low = picking::TwoDecimals(bar.low);
    e.close = picking::TwoDecimals(bar.close);
    // An index bar decodes its volume in 10,000 lots for the chart; the
    // record holds lots, which is what leaves here.
    e.volume = view.isIndex ? view.image[offset + 6] : bar.volume;
    e.amount = uint64_t{bar.amount} * kYuanPerAmountUnit;
    return e;
}

std::vector<ExportBar> SelectBars(const Invocation& in, const data::SeriesView& view) {
    const uint32_t from = in.Date("from").value_or(0);
    const uint32_t to = in.Date("to").value_or(UINT32_MAX);
    std::vector<ExportBar> bars;
    for (size_t offset = view.firstBar; view.HasBar(offset); offset += view.width) {
        const uint32_t date = data::BarDate(view, offset);
        if (date >= from && date <= to) bars.push_back(Export(view, offset));
    }
    return bars;
}

void PrintJson(const Invocation& in, const SecuritySeries& s, const std::vector<ExportBar>& bars) {
    JsonWriter json;
    json.BeginObject()
        .Field("code", s.stock.codeText)
        .Field("name", s.name)
        .Field("index", s.IsIndex())
        .Field("period", PeriodWord(in.Period()))
        .Field("adjust", AdjustWord(in.Adjust()))
        .Field("from", in.Date("from"))
        .Field("to", in.Date("to"))
        .Key("units")
        .BeginObject()
        .Field("price", s.PriceUnit())
        .Field("volume", "手")
        .Field("amount", "元")
        .EndObject()
        .Field("bar_count", bars.size())
        .Key("bars")
        .BeginArray();
    for (const ExportBar& b : bars)
        json.BeginObject()
            .Field("date", b.date)
            .Key("open")
            .Number(b.open)
            .Key("high")
            .Number(b.high)
            .Key("low")
            .Number(b.low)
            .Key("close")
            .Number(b.close)
            .Field("volume", b.volume)
            .Field("amount", b.amount)
            .EndObject();
    json.EndArray().EndObject();
    std::fputs(json.Line().c_str(), stdout);
}

void PrintCsv(const std::vector<ExportBar>& bars) {
    std::string text = CsvLine({"date", "open", "high", "low", "close", "volume", "amount"});
    for (const ExportBar& b : bars)
        text += CsvLine({std::to_string(b.date), b.open, b.high, b.low, b.close,
                         std::to_string(b.volume), std::to_string(b.amount)});
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunBarsCommand(const Invocation& in) {
    const auto from = in.Date("from");
    const auto to = in.Date("to");
    if (from && to && *from > *to)
        return in.Fail(Exit::Usage, "--from " + std::to_string(*from) + " 晚于 --to " +
                                        std::to_string(*to));
    CommandPrompter prompter(in.Command().name);
    SecuritySeries s;
    if (auto failed = LoadSecuritySeries(in, prompter, s)) return *failed;
    const std::vector<ExportBar> bars = SelectBars(in, s.view);
    if (in.Format() == OutputFormat::Json)
        PrintJson(in, s, bars);
    else
        PrintCsv(bars);
    return static_cast<int>(Exit::Ok);
}

}  // namespace cli
