#include "cli/sector_setup.h"

#include "cli/market_setup.h"
#include "cli/values.h"
#include "picking/simulation.h"

namespace cli {

uint32_t SectorSetup::Cutoff() const {
    return picking::SimulationCutoff(market.simulation);
}

bool StartSectorCommand(const Invocation& in, base::Prompter& prompter, SectorSetup& setup,
                        std::string_view dateOption, const std::string& root) {
    if (!StartMarket(in, prompter, setup.workspace, setup.market, data::kAnalysisParts,
                     dateOption, root))
        return false;
    setup.codes = std::make_unique<data::CodeTable>(setup.workspace.CodeTableRegion());
    setup.names = std::make_unique<StockNames>(*setup.codes);
    if (!in.Has("market") && !in.Has("list")) {
        setup.candidates.market = picking::CandidateMarket::All;
        setup.candidates.codes = picking::SelectCandidates(*setup.codes, setup.candidates.market);
    } else if (!ChooseCandidates(in, *setup.codes, prompter, setup.candidates)) {
        return false;
    }
    if (const auto threshold = in.Threshold()) {
        setup.settings.type = in.Type();
        setup.settings.threshold = *threshold;
    }
    setup.settings.weights = sectors::RankWeights::FromLibrary(setup.market.sectorHeader);
    if (!sectors::StartSectorScan(setup.candidates.codes.size(), setup.settings, prompter))
        return false;
    setup.library = sectors::SectorLibrary(setup.workspace.Bytes(data::BufferId::SectorLibrary)
                                               .first(setup.market.sectorLibraryBytes));
    setup.inputs = picking::MarketInputsOf(setup.workspace, setup.market, *setup.codes);
    return true;
}

void WriteScanSettingsFields(JsonWriter& json, const Invocation& in, const SectorSetup& setup) {
    const sectors::ScanType type = setup.settings.type;
    json.Field("type", static_cast<int>(type))
        .Field("type_name", ScanTypeName(type))
        .Key("threshold")
        .Number(ScanPercentText(type, setup.settings.threshold))
        .Field("threshold_raw", setup.settings.threshold);
    WriteCandidateFields(json, in);
    json.Field("candidates", setup.candidates.codes.size());
}

}  // namespace cli
