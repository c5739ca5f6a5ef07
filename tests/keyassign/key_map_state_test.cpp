#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "common/utf16.h"
#include "keyassign/key_map_state.h"
#include "keyassign/launch.h"

namespace tavrik::keyassign {
namespace {

namespace ka = model::keyaction;

// Points inside each button and region.
constexpr Point kTabSinglePt{40, 45};
constexpr Point kTabMacroPt{120, 45};
constexpr Point kTabBasicPt{200, 45};
constexpr Point kTabAdvancePt{280, 45};
constexpr Point kDisablePt{24, 255};
constexpr Point kDefaultPt{170, 256};
constexpr Point kSavePt{280, 256};
constexpr Point kEmptyPt{150, 200};  // on the "Advance" tab, below the rows

Point indicatorPt(int row) {
    return {20, 76 + 30 * row};
}
Point browsePt(int row) {
    return {280, 75 + 30 * row};
}

constexpr int kLCtrl = 162;

class Record {
public:
    Record(std::uint8_t own, std::uint8_t kind, std::vector<std::uint8_t> codes = {},
           std::string path = {}) {
        m_bytes[ka::kOwnCode] = own;
        m_bytes[ka::kKind] = kind;
        std::copy(codes.begin(), codes.end(), m_bytes.begin() + ka::kCodes);
        writeUtf16Field(std::span(m_bytes).subspan<ka::kLaunchPath, ka::kLaunchPathSize>(),
                        utf8ToUtf16(path));
    }
    KeyMapInput input(bool enabled = true, Language lang = Language::English,
                      std::vector<std::string> macros = {}) const {
        return {m_bytes, enabled, std::move(macros), lang};
    }

private:
    std::array<std::uint8_t, model::kKeyActionRecordSize> m_bytes{};
};

// A dialog as the window runs it: the hook installed and the initial focus delivered.
KeyMapState open(const KeyMapInput& input) {
    KeyMapState st(input);
    st.setHookInstalled(true);
    if (const auto f = st.takeFocusRequest()) {
        if (*f == FocusTarget::SingleEdit) st.focusGained(Edit::Single);
        if (*f == FocusTarget::CombineEdit) st.focusGained(Edit::Combine);
    }
    return st;
}

// Each key as the hook reports it: a press, then a release.
void press(KeyMapState& st, std::initializer_list<int> codes) {
    for (int c : codes) {
        st.hookKey(c, false);
        st.hookKey(c, true);
    }
}

AssignmentResult saved(KeyMapState& st) {
    const ClickOutcome out = st.click(kSavePt);
    EXPECT_EQ(out.end, DialogEnd::Accept);
    return st.result();
}

TEST(KeyMapCapture, FourthKeyStartsANewCombination) {
    KeyMapState st = open(Record(27, 1).input());
    press(st, {'A', 'B', 'C'});
    EXPECT_EQ(st.view().combineText, "A + B + C + ");
    st.hookKey('D', false);
    st.hookKey('D', false);  // auto-repeat of the key that started the new combination
    EXPECT_EQ(st.view().combineText, "D + ");
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.kind, KeyKind::Combination);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.captured[0], 'D');
    EXPECT_EQ(r.captured[1], 0);
}

TEST(KeyMapCapture, CombinationTextFollowsEachNameWithPlus) {
    KeyMapState st = open(Record(27, 0).input());
    st.focusGained(Edit::Combine);
    // Auto-repeat of a held modifier counts once.
    st.hookKey(kLCtrl, false);
    st.hookKey(kLCtrl, false);
    st.hookKey(kLCtrl, false);
    st.hookKey('C', false);
    st.hookKey('C', true);
    st.hookKey(kLCtrl, true);
    EXPECT_EQ(st.view().combineText, "LCtrl + C + ");
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(r.captured[0], kLCtrl);
}

TEST(KeyMapCapture, SingleKeyReplacesTheFirstKeyOnly) {
    KeyMapState st = open(Record(27, 0, {'Q'}).input());
    EXPECT_EQ(st.view().singleText, "Q ");
    press(st, {'A', 'B'});
    EXPECT_EQ(st.view().singleText, "B ");
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.kind, KeyKind::SingleKey);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.captured[0], 'B');
}

TEST(KeyMapCapture, WithoutHookNothingIsCaptured) {
    KeyMapState st(Record(27, 0).input());
    st.focusGained(Edit::Single);
    press(st, {'A'});
    EXPECT_EQ(st.view().singleText, "");
    EXPECT_EQ(saved(st).kind, KeyKind::None);
}

TEST(KeyMapCapture, StoredCombinationGrowsFromWhatIsShown) {
    KeyMapState st = open(Record(27, 1, {kLCtrl, 'C'}).input());
    EXPECT_EQ(st.view().combineText, "LCtrl + C + ");
    press(st, {'V'});
    EXPECT_EQ(st.view().combineText, "LCtrl + C + V + ");
    press(st, {'X'});
    EXPECT_EQ(st.view().combineText, "X + ");
}

TEST(KeyMapCapture, DeleteAllForgetsEveryCapturedKey) {
    KeyMapState st = open(Record(27, 1).input());
    press(st, {'A', 'B', 'C'});
    st.deleteAll();
    EXPECT_EQ(st.view().combineText, "");
    press(st, {'D'});
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.captured[1], 0);
}

TEST(KeyMapFocus, InitialFocusKeepsTheStoredKeyAndLaterFocusClears) {
    KeyMapState st = open(Record(27, 0, {'Q'}).input());
    EXPECT_EQ(saved(st).captured[0], 'Q');

    KeyMapState st2 = open(Record(27, 0, {'Q'}).input());
    st2.focusGained(Edit::Combine);
    EXPECT_EQ(st2.view().singleText, "");
    press(st2, {'A'});
    st2.focusGained(Edit::Single);
    EXPECT_EQ(st2.view().combineText, "");
    EXPECT_EQ(saved(st2).kind, KeyKind::None);
}

TEST(KeyMapOpen, OwnFunctionShowsEmptyEditAndSavesKindEight) {
    KeyMapState st = open(Record(27, 0).input());
    EXPECT_EQ(st.view().tab, Tab::SingleCombine);
    EXPECT_EQ(st.view().singleText, "");
    EXPECT_EQ(st.view().currentKeyName, "Esc ");
    EXPECT_EQ(saved(st).kind, KeyKind::None);
}

TEST(KeyMapOpen, PresetRecordPreselectsItsRowInEitherLanguage) {
    const Record rec(27, 3, {0x00, 0xE0, 0x04, 0x00});
    for (Language lang : {Language::English, Language::Chinese}) {
        KeyMapState st = open(rec.input(true, lang));
        EXPECT_EQ(st.view().tab, Tab::Basic);
        ASSERT_TRUE(st.view().treeNode.has_value());
        EXPECT_EQ(st.view().expandedNode, 11);  // "Shortcut"
        const AssignmentResult r = saved(st);
        EXPECT_EQ(r.kind, KeyKind::Preset);
        EXPECT_EQ(r.functionName, lang == Language::English ? "Select All" : "全选");
    }
}

TEST(KeyMapOpen, MacroAndLaunchRecordsOpenTheirTabs) {
    KeyMapState m = open(Record(27, 2, {4, 1, 1, 0}).input(true, Language::English, {"a", "b"}));
    EXPECT_EQ(m.view().tab, Tab::Macro);
    EXPECT_EQ(m.view().macroRow, 1);
    EXPECT_EQ(saved(m).macroIndex, 1);

    KeyMapState l = open(Record(27, 6, {3, 0, 0x23, 2}, "/home/me/notes.txt").input(false));
    EXPECT_EQ(l.view().tab, Tab::Advance);
    EXPECT_EQ(l.view().launchRow, 2);
    EXPECT_TRUE(l.view().disableTicked);
    const AssignmentResult r = saved(l);
    EXPECT_EQ(r.kind, KeyKind::OpenFile);
    EXPECT_EQ(r.launchPath, "/home/me/notes.txt");
    EXPECT_FALSE(r.enabled);

    KeyMapState u = open(Record(27, 9, {'A'}).input());
    EXPECT_EQ(u.view().tab, Tab::SingleCombine);
    EXPECT_EQ(saved(u).kind, KeyKind::None);
}

TEST(KeyMapSave, MacroTabWithoutRowIsKindEightAndEnabled) {
    KeyMapState st = open(Record(27, 0).input(true, Language::English, {"m0"}));
    st.click(kDisablePt);
    st.click(kTabMacroPt);
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.kind, KeyKind::None);
    EXPECT_TRUE(r.enabled);
}

TEST(KeyMapSave, BasicTabRefusesAGroup) {
    for (Language lang : {Language::English, Language::Chinese}) {
        KeyMapState st = open(Record(27, 0).input(true, lang));
        st.click(kTabBasicPt);
        st.selectTreeNode(2);  // "Media" / "多媒体"
        const ClickOutcome out = st.click(kSavePt);
        EXPECT_EQ(out.end, DialogEnd::None);
        ASSERT_TRUE(out.message.has_value());
        EXPECT_EQ(out.message->in(lang),
                  lang == Language::English ? "Please select Sub item" : "请选择子项");
        st.selectTreeNode(3);
        EXPECT_EQ(saved(st).kind, KeyKind::Preset);
    }
}

class DefaultOnTab : public ::testing::TestWithParam<Point> {};

TEST_P(DefaultOnTab, AcceptsWithDefaultCount) {
    KeyMapState st = open(Record(27, 1, {'A', 'B'}).input(false));
    st.click(GetParam());
    const ClickOutcome out = st.click(kDefaultPt);
    EXPECT_EQ(out.end, DialogEnd::Accept);
    EXPECT_EQ(st.result().count, kDefaultCount);
}

INSTANTIATE_TEST_SUITE_P(Tabs, DefaultOnTab,
                         ::testing::Values(kTabSinglePt, kTabMacroPt, kTabBasicPt, kTabAdvancePt));

TEST(KeyMapAdvance, EnteringAndSavingWithoutAFileIsKindEight) {
    KeyMapState st = open(Record(27, 0, {'Q'}).input());
    st.click(kTabAdvancePt);
    EXPECT_EQ(saved(st).kind, KeyKind::None);
}

TEST(KeyMapAdvance, BrowsePickSetsKindRowAndPath) {
    KeyMapState st = open(Record(27, 0).input());
    st.click(kTabAdvancePt);
    const ClickOutcome out = st.click(browsePt(1));
    ASSERT_EQ(out.chooseRow, 1);
    EXPECT_FALSE(st.chosen(1, std::nullopt).has_value());  // cancelled
    EXPECT_FALSE(st.view().launchRow.has_value());
    EXPECT_FALSE(st.chosen(1, "/usr/local/bin/tool").has_value());
    EXPECT_EQ(st.view().launchRow, 1);
    EXPECT_EQ(st.fieldText(1), "../tool");
    EXPECT_EQ(st.fieldText(0), "");
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.kind, KeyKind::StartProgram);
    EXPECT_EQ(r.launchPath, "/usr/local/bin/tool");
}

TEST(KeyMapAdvance, RefusedPicksKeepThePreviousChoice) {
    KeyMapState st = open(Record(27, 4, {3, 0, 0x23, 2}, "/a/b.mp3").input());
    const std::string tooLong = "/" + std::string(255, 'y');
    EXPECT_TRUE(st.chosen(2, tooLong).has_value());
    EXPECT_TRUE(st.chosen(3, std::string()).has_value());  // not a file-system folder
    const AssignmentResult r = saved(st);
    EXPECT_EQ(r.kind, KeyKind::PlaySound);
    EXPECT_EQ(r.launchPath, "/a/b.mp3");
}

TEST(KeyMapAdvance, IndicatorEmptiesThePathSoSaveReturnsTheKeyToItself) {
    KeyMapState st = open(Record(27, 5, {3, 0, 0x23, 2}, "/usr/bin/tool").input());
    st.click(indicatorPt(2));
    EXPECT_EQ(st.view().selectedIndicator, 2);
    EXPECT_EQ(st.view().launchRow, 2);
    EXPECT_EQ(st.view().launchPath, "");
    EXPECT_EQ(saved(st).kind, KeyKind::None);
}

TEST(KeyMapAdvance, EmptyPointWithoutLaunchRowChoosesNothing) {
    KeyMapState st = open(Record(27, 7, {3, 0, 0x23, 2}, "/home").input());
    st.click(kEmptyPt);  // a launch row is shown: the kind stays
    EXPECT_EQ(saved(st).kind, KeyKind::OpenFolder);
}

TEST(KeyMapPointer, HoverFollowsButtonsAndBrowseRegions) {
    KeyMapState st = open(Record(27, 5, {3, 0, 0x23, 2}, "/x").input());
    st.pointerMoved(kSavePt);
    EXPECT_EQ(st.view().hoveredButton, button::kSave);
    st.pointerMoved(browsePt(3));
    EXPECT_FALSE(st.view().hoveredButton.has_value());
    EXPECT_EQ(st.view().hoveredBrowse, 3);
    st.pointerMoved(kEmptyPt);
    EXPECT_FALSE(st.view().hoveredBrowse.has_value());
    EXPECT_TRUE(KeyMapState::isBackground(kEmptyPt));
    EXPECT_FALSE(KeyMapState::isBackground(kDisablePt));
}

struct HitCase {
    Point p;
    std::optional<int> button;
};

class ButtonHit : public ::testing::TestWithParam<HitCase> {};

TEST_P(ButtonHit, FirstHitWins) {
    EXPECT_EQ(hitTestButton(GetParam().p), GetParam().button);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ButtonHit,
    ::testing::Values(HitCase{{14, 246}, button::kDisable},  // grown by 5
                      HitCase{{34, 265}, button::kDisable}, HitCase{{13, 255}, std::nullopt},
                      HitCase{{35, 255}, std::nullopt},
                      HitCase{{81, 40}, button::kTabSingleCombine},  // shared edge
                      HitCase{{100, 33}, button::kTabMacro},         // over the tab strip
                      HitCase{{100, 30}, button::kTabStrip}, HitCase{{318, 17}, button::kClose},
                      HitCase{{264, 246}, button::kSave}, HitCase{{306, 246}, std::nullopt}));

TEST(AdvanceRegions, RowMajorNumbering) {
    EXPECT_EQ(hitTestRegion(indicatorPt(0))->index(), 0);
    EXPECT_EQ(hitTestRegion(browsePt(1))->index(), 7);
    EXPECT_EQ(hitTestRegion({100, 158})->index(), 14);   // row 3 field
    EXPECT_EQ(hitTestRegion({40, 129})->index(), 9);     // row 2 label
    EXPECT_FALSE(hitTestRegion({250, 75}).has_value());  // between field and browse
}

struct ShortCase {
    std::string path;
    std::string shown;
};

class PathDisplay : public ::testing::TestWithParam<ShortCase> {};

TEST_P(PathDisplay, ShortensLongPathsToTheirLastComponent) {
    EXPECT_EQ(shortenLaunchPath(GetParam().path), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, PathDisplay,
                         ::testing::Values(ShortCase{"/usr/a/bc.txt", "/usr/a/bc.txt"},  // 13
                                           ShortCase{"/usr/a/bcd.txt", "../bcd.txt"},    // 14
                                           ShortCase{"abcdefghijklmnop", "abcdefghijklmnop"},
                                           ShortCase{"/home/me/Music/", "/home/me/Music/"},
                                           // characters, not bytes, are counted
                                           ShortCase{"/home/我的音乐/歌", "/home/我的音乐/歌"},
                                           ShortCase{"/home/me/我的音乐/歌曲", "../歌曲"}));

}  // namespace
}  // namespace tavrik::keyassign
