// The two colour themes of the chart. Only the chart uses the slots; the chart
// frame is always pure red whatever the theme.
#pragma once

#include <array>
#include <string_view>

#include "ui/canvas.h"

namespace ui {

enum class ThemeId { ClassicBlack, Regular };

enum ThemeSlot { ThemeBackground, ThemeGrid, ThemeRise, ThemeFall };
inline constexpr int kThemeSlotCount = 4;

using ThemePalette = std::array<Rgb, kThemeSlotCount>;  // indexed by ThemeSlot

inline constexpr Rgb kChartFrameColour{255, 0, 0};

// The radio button caption of a theme (UTF-8): "经典黑" or "常规".
std::string_view ThemeName(ThemeId theme);
const ThemePalette& PaletteOf(ThemeId theme);

// The theme in force; starts as "经典黑".
class ThemeState {
public:
    ThemeId Current() const { return m_current; }
    const ThemePalette& Palette() const { return PaletteOf(m_current); }
    Rgb Colour(ThemeSlot slot) const { return Palette()[slot]; }

    // Switching to the theme already in force does nothing. Returns whether the
    // theme changed, i.e. whether the chart has to be recoloured and redrawn.
    bool SwitchTo(ThemeId theme);

private:
    ThemeId m_current = ThemeId::ClassicBlack;
};

}  // namespace ui
