#include "cli/series_setup.h"

#include "base/gbk.h"
#include "cli/market_setup.h"
#include "data/period_bars.h"

namespace cli {

std::optional<int> LoadSecuritySeries(const Invocation& in, CommandPrompter& prompter,
                                      SecuritySeries& s) {
    if (!StartMarket(in, prompter, s.workspace, s.market)) return static_cast<int>(Exit::Refused);
    const uint32_t code = *in.Code();
    if (!data::OpenStock(s.market.paths, code, s.stock, prompter))
        return static_cast<int>(Exit::Refused);
    const data::CodeTable codes(s.workspace.CodeTableRegion());
    s.name = base::GbkToUtf8(codes.StockName(code));
    const data::StockContext context{&codes, &s.market.exRights, &s.market.simulation};
    data::LoadStockDayFile(s.market.paths, context, s.workspace.OpenStockRegion(), s.stock);
    if (!s.stock.loaded)
        return in.Fail(Exit::Refused, s.stock.codeText + "：" + s.stock.problem);

    s.view = s.stock.DailyView(s.workspace.OpenStockRegion(), &s.market.exRights, in.Adjust());
    const data::Period period = in.Period();
    if (period != data::Period::Daily) {
        const auto region =
            period == data::Period::Weekly ? s.workspace.WeeklyRegion() : s.workspace.MonthlyRegion();
        const data::PeriodBuild build = data::BuildPeriodBars(s.view, period, region);
        s.view = data::PeriodView(region, build, period, s.stock.isIndex);
    }
    return std::nullopt;
}

}  // namespace cli
