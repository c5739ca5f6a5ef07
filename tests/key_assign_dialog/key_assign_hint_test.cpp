// The key assignment dialog's title in both languages, and the hint over its macro list while no
// macro is defined.
#include <gtest/gtest.h>

#include <QListWidget>

#include "controls/empty_hint.h"
#include "host/qt/qt_text.h"
#include "key_assign_test_support.h"

namespace tavrik {
namespace {

using app::KeyAssignDialog;

struct TitleCase {
    Language lang;
    const char* title;
};

class KeyAssignTitleTest : public ::testing::TestWithParam<TitleCase> {};

TEST_P(KeyAssignTitleTest, TitleIsTheDialogsCaptionNotTheProgramName) {
    const std::array<std::uint8_t, model::kKeyActionRecordSize> record{};
    const keyassign::KeyMapInput input{record, true, {}, GetParam().lang};
    KeyAssignDialog dialog(input, test::builtSkinFolder(GetParam().lang), {});
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(GetParam().title));
}

INSTANTIATE_TEST_SUITE_P(Languages, KeyAssignTitleTest,
                         ::testing::Values(TitleCase{Language::English, "Key Assignment"},
                                           TitleCase{Language::Chinese, "按键设置"}));

TEST(KeyAssignHintTest, MacroListHintOnlyWithoutMacros) {
    const std::array<std::uint8_t, model::kKeyActionRecordSize> record{};
    for (const bool withMacros : {false, true}) {
        std::vector<std::string> names;
        if (withMacros) names = {"first", "second"};
        const keyassign::KeyMapInput input{record, true, names, Language::English};
        KeyAssignDialog dialog(input, test::builtSkinFolder(Language::English), {});
        dialog.show();
        test::click(&dialog, test::kTabAt[1]);  // the "Macro" tab
        ASSERT_TRUE(dialog.macroList()->isVisible());
        EXPECT_EQ(dialog.macroList()->count(), withMacros ? 2 : 0);
        EXPECT_EQ(dialog.macroListHint()->showing(), !withMacros);
        EXPECT_EQ(dialog.macroListHint()->text(),
                  app::qs(keyassign::kNoMacrosHint.in(Language::English)));
    }
}

}  // namespace
}  // namespace tavrik
