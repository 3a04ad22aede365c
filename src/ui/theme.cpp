#include "ui/theme.h"

namespace ui {
namespace {

constexpr ThemePalette kClassicBlack = {{
    {0, 0, 0},       // background
    {76, 14, 14},    // grid
    {179, 101, 99},  // rise
    {92, 249, 254},  // fall
}};

constexpr ThemePalette kRegular = {{
    {213, 213, 213},
    {210, 180, 200},
    {210, 0, 0},
    {0, 0, 210},
}};

}  // namespace

std::string_view ThemeName(ThemeId theme) {
    return theme == ThemeId::ClassicBlack ? "经典黑" : "常规";
}

const ThemePalette& PaletteOf(ThemeId theme) {
    return theme == ThemeId::ClassicBlack ? kClassicBlack : kRegular;
}

bool ThemeState::SwitchTo(ThemeId theme) {
    if (theme == m_current) return false;
    m_current = theme;
    return true;
}

}  // namespace ui
