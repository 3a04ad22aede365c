// The settings in force: selection, the settings page's checks and restores,
// the scan-result overrides and the theme's recolouring.
#include "indicators/indicator_state.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

using indicators::IndicatorState;
using indicators::OverrideFamily;
using indicators::SetValuesResult;

std::array<int32_t, 5> Values(const IndicatorState& state, int index) {
    return state.Params(index).values;
}

TEST(IndicatorSelection, StartsOnVolAndFollowsTheUsersChoice) {
    IndicatorState state;
    EXPECT_EQ(state.Selected(), indicators::kVol);
    EXPECT_EQ(state.Remembered(), indicators::kVol);
    for (int i = 0; i <= indicators::kLastIndicator; ++i)
        EXPECT_EQ(state.Params(i), indicators::StandardParams(i)) << i;

    EXPECT_TRUE(state.Select(indicators::kMacd));
    EXPECT_EQ(state.Selected(), indicators::kMacd);
    EXPECT_EQ(state.Remembered(), indicators::kMacd);
    EXPECT_FALSE(state.Select(indicators::kMacd));  // no change, no redraw
    EXPECT_FALSE(state.Select(0));                  // MA is never the panel
    EXPECT_FALSE(state.Select(18));
    EXPECT_EQ(state.Selected(), indicators::kMacd);
}

TEST(IndicatorSettings, RefuseOutOfRangeValuesAndRestoreTheCatalogue) {
    IndicatorState state;
    // MACD ranges 5..40, 20..100, 2..60, inclusive at both ends.
    EXPECT_EQ(state.SetValues(indicators::kMacd, std::vector<int32_t>{5, 100, 60}),
              SetValuesResult::Applied);
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{5, 100, 60, 0, 0}));
    // Any value outside (here the last) refuses the whole row.
    EXPECT_EQ(state.SetValues(indicators::kMacd, std::vector<int32_t>{12, 26, 61}),
              SetValuesResult::OutOfRange);
    EXPECT_EQ(state.SetValues(indicators::kMacd, std::vector<int32_t>{4, 26, 9}),
              SetValuesResult::OutOfRange);
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{5, 100, 60, 0, 0}));
    EXPECT_EQ(state.SetValues(indicators::kMacd, std::vector<int32_t>{12, 26}),
              SetValuesResult::OutOfRange);
    EXPECT_EQ(state.SetValues(indicators::kObv, std::vector<int32_t>{}),
              SetValuesResult::NoParameters);
    // MA accepts 0 (a line that is not drawn).
    EXPECT_EQ(state.SetValues(indicators::kMa, std::vector<int32_t>{0, 7, 0, 0, 999}),
              SetValuesResult::Applied);

    // "还原" brings back the catalogue's values, not those of the page's opening.
    state.RestoreStandard(indicators::kMacd);
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{12, 26, 9, 0, 0}));
    EXPECT_EQ(Values(state, indicators::kMa), (std::array<int32_t, 5>{0, 7, 0, 0, 999}));
    EXPECT_EQ(state.SetValues(indicators::kBoll, std::vector<int32_t>{20, 3}),
              SetValuesResult::Applied);
    state.RestoreAll();
    EXPECT_EQ(Values(state, indicators::kMa), (std::array<int32_t, 5>{5, 10, 20, 30, 60}));
    EXPECT_EQ(Values(state, indicators::kBoll), (std::array<int32_t, 5>{26, 2, 0, 0, 0}));
}

TEST(IndicatorOverride, ReplacesAFamilyOnceAndRestoresTheUsersValues) {
    IndicatorState state;
    ASSERT_EQ(state.SetValues(indicators::kMacd, std::vector<int32_t>{10, 30, 7}),
              SetValuesResult::Applied);
    state.Select(indicators::kCci);

    EXPECT_TRUE(state.ApplyOverride(5, std::vector<int32_t>{8, 40, 5}));
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{8, 40, 5, 0, 0}));
    EXPECT_EQ(state.Selected(), indicators::kMacd);
    EXPECT_EQ(state.Remembered(), indicators::kCci);
    EXPECT_TRUE(state.HasSavedValues(OverrideFamily::Macd));
    // A second member of the same result: the user's values stay saved.
    EXPECT_TRUE(state.ApplyOverride(5, std::vector<int32_t>{6, 22, 3}));
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{6, 22, 3, 0, 0}));

    state.RestoreOverride();
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{10, 30, 7, 0, 0}));
    EXPECT_EQ(state.Selected(), indicators::kCci);
    EXPECT_FALSE(state.HasSavedValues(OverrideFamily::Macd));

    // Family 1 replaces the MA lengths and keeps the panel.
    EXPECT_TRUE(state.ApplyOverride(1, std::vector<int32_t>{3, 6, 9, 12, 15}));
    EXPECT_EQ(Values(state, indicators::kMa), (std::array<int32_t, 5>{3, 6, 9, 12, 15}));
    EXPECT_EQ(state.Selected(), indicators::kCci);
    // Families 3, 4, 7, 8 show RSI, BIAS, KDJ and BOLL.
    EXPECT_TRUE(state.ApplyOverride(3, std::vector<int32_t>{5, 10, 20}));
    EXPECT_EQ(state.Selected(), indicators::kRsi);
    EXPECT_TRUE(state.ApplyOverride(4, std::vector<int32_t>{5, 10, 20}));
    EXPECT_EQ(state.Selected(), indicators::kBias);
    EXPECT_TRUE(state.ApplyOverride(7, std::vector<int32_t>{5, 2, 2}));
    EXPECT_EQ(state.Selected(), indicators::kKdj);
    EXPECT_EQ(Values(state, indicators::kKd), (std::array<int32_t, 5>{9, 3, 3, 0, 0}));
    EXPECT_TRUE(state.ApplyOverride(8, std::vector<int32_t>{20, 3}));
    EXPECT_EQ(state.Selected(), indicators::kBoll);
    // Any other family changes nothing.
    EXPECT_FALSE(state.ApplyOverride(2, std::vector<int32_t>{1, 2, 3}));
    EXPECT_FALSE(state.ApplyOverride(6, std::vector<int32_t>{1, 2, 3}));
    EXPECT_EQ(state.Selected(), indicators::kBoll);

    // Restoring puts every overridden family back.
    state.RestoreOverride();
    for (int i : {indicators::kMa, indicators::kRsi, indicators::kBias, indicators::kKdj,
                  indicators::kBoll})
        EXPECT_EQ(state.Params(i), indicators::StandardParams(i)) << i;
    EXPECT_EQ(state.Selected(), indicators::kCci);
    // Restoring again with nothing saved only resets the selection.
    state.RestoreOverride();
    EXPECT_EQ(Values(state, indicators::kMacd), (std::array<int32_t, 5>{10, 30, 7, 0, 0}));
}

TEST(IndicatorTheme, TurnsWhiteAndFollowingYellowDarkAndBack) {
    IndicatorState state;
    // A parameter that happens to equal a colour component is never touched.
    ASSERT_EQ(state.SetValues(indicators::kMa, std::vector<int32_t>{255, 255, 255, 255, 0}),
              SetValuesResult::Applied);
    state.AdjustColoursFor(indicators::Backdrop::Light);
    for (int i = 0; i <= indicators::kLastIndicator; ++i) {
        const auto& colours = state.Params(i).colours;
        EXPECT_EQ(colours[0], indicators::kLineDarkGrey) << i;
        if (indicators::DefinitionOf(i).colours.count > 1) {
            EXPECT_EQ(colours[1], indicators::kLineBlue) << i;
        }
        if (indicators::DefinitionOf(i).colours.count > 2) {
            EXPECT_EQ(colours[2], (base::Rgb{240, 0, 240})) << i;
        }
    }
    EXPECT_EQ(state.Params(indicators::kMacd).colours[3], (base::Rgb{213, 0, 0}));
    EXPECT_EQ(state.Params(indicators::kMacd).colours[4], (base::Rgb{92, 249, 254}));
    EXPECT_EQ(Values(state, indicators::kMa), (std::array<int32_t, 5>{255, 255, 255, 255, 0}));

    // The same theme again changes nothing; the other brings the start back.
    state.AdjustColoursFor(indicators::Backdrop::Light);
    EXPECT_EQ(state.Params(indicators::kVol).colours[0], indicators::kLineDarkGrey);
    state.AdjustColoursFor(indicators::Backdrop::Dark);
    for (int i = 0; i <= indicators::kLastIndicator; ++i)
        EXPECT_EQ(state.Params(i).colours, indicators::StandardParams(i).colours) << i;
}

}  // namespace
