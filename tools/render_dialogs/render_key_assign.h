#pragma once

#include <QString>

namespace tavrik::render {

// The key assignment dialog: each tab, with its states, in English and Chinese.
void renderKeyMap(const QString& programFolder, const QString& outDir);

}  // namespace tavrik::render
