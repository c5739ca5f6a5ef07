#pragma once
// Every user-visible text exists in English and Chinese. The language code 4 means Chinese; any
// other value means English.

#include <string_view>

namespace tavrik {

enum class Language { English, Chinese };

inline constexpr int kChineseLanguageCode = 4;

constexpr Language languageFromCode(int code) {
    return code == kChineseLanguageCode ? Language::Chinese : Language::English;
}

// A text in both languages (UTF-8).
struct BiText {
    std::string_view en;
    std::string_view zh;
    constexpr std::string_view in(Language lang) const {
        return lang == Language::Chinese ? zh : en;
    }
};

}  // namespace tavrik
