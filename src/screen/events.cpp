#include "screen/events.h"

namespace screen {

std::optional<StripCommand> StripCommandOf(int number) {
    switch (static_cast<StripCommand>(number)) {
        case StripCommand::SectorScan:
        case StripCommand::SectorTrend:
        case StripCommand::SaveSector:
        case StripCommand::AddPicked:
        case StripCommand::HelpGrowFunds:
        case StripCommand::HelpSectors:
        case StripCommand::MethodUp:
        case StripCommand::MethodDown:
        case StripCommand::MethodDelete:
        case StripCommand::EstimateTop:
        case StripCommand::EstimateBottom:
        case StripCommand::Weights:
        case StripCommand::PropertyQuery:
        case StripCommand::MethodInsert:
        case StripCommand::MethodAppend:
        case StripCommand::MethodModify:
        case StripCommand::StripLoad:
        case StripCommand::LowerPanelUp:
        case StripCommand::LowerPanelDown:
        case StripCommand::HelpLower:
        case StripCommand::HelpUpper:
        case StripCommand::PickingPage:
        case StripCommand::SectorPage:
        case StripCommand::StepPick:
        case StripCommand::SaveResults:
        case StripCommand::MethodConfirm:
        case StripCommand::RotationPage: return static_cast<StripCommand>(number);
    }
    return std::nullopt;
}

}  // namespace screen
