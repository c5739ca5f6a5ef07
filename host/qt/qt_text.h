#pragma once
// UTF-8 text from core, and a text of either language, as a QString.

#include <QString>
#include <string_view>

#include "common/language.h"

namespace tavrik::app {

inline QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QString qs(BiText text, Language lang) {
    return qs(text.in(lang));
}

}  // namespace tavrik::app
