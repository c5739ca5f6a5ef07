#pragma once
// The application icon for the desktop's hicolor icon theme: PNGs at the theme's usual sizes and
// a scalable SVG, all from the same drawing as the skin's icon.

#include <QString>
#include <array>

namespace tavrik::skingen {

inline constexpr std::array<int, 8> kThemeIconSizes{16, 22, 24, 32, 48, 64, 128, 256};
inline constexpr const char* kThemeIconName = "tavrik-87rev";

// Writes <root>/hicolor/<n>x<n>/apps/tavrik-87rev.png for every size and
// <root>/hicolor/scalable/apps/tavrik-87rev.svg. False when a file cannot be written.
bool writeThemeIcons(const QString& root);

}  // namespace tavrik::skingen
