#pragma once
// A text of either language as a QString.

#include <QString>
#include <string_view>

#include "common/language.h"

namespace tavrik::app {

inline QString qtext(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline QString qtext(BiText text, Language lang) {
    return qtext(text.in(lang));
}

}  // namespace tavrik::app
