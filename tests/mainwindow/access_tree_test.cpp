#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "describe/key_names.h"
#include "mainwindow/access_tree.h"
#include "mainwindow/main_view.h"
#include "settings/effects.h"

namespace tavrik::mainwindow::access {
namespace {

namespace img = model::image;

// Plays an item's activation on a view as the window does: each point is a release.
class AccessTreeTest : public ::testing::Test {
protected:
    AccessTreeTest() : m_image(std::make_unique<model::Image>()) { image()[img::kEffect] = 1; }

    model::Image& image() { return *m_image; }
    const ViewState& state() const { return m_view.state(); }
    std::uint8_t effect() { return image()[img::kEffect]; }

    // The outcome of the last release; none when the item offers no activation.
    std::optional<ReleaseOutcome> activate(ItemId id) {
        std::optional<ReleaseOutcome> last;
        for (const Point& p : activation(id, state(), effect())) last = m_view.release(p, image());
        return last;
    }
    Item item(ItemId id, Language lang = Language::English) {
        Context c{&state(), &image(), lang, false, "home"};
        return describe(id, c);
    }

    MainView m_view;
    std::unique_ptr<model::Image> m_image;
};

constexpr ItemId area(int code) {
    return {Kind::Area, code};
}

std::vector<ItemId> allItems() {
    std::vector<ItemId> out;
    std::vector<ItemId> todo{ItemId{}};
    while (!todo.empty()) {
        const ItemId id = todo.back();
        todo.pop_back();
        out.push_back(id);
        for (const ItemId& c : children(id)) todo.push_back(c);
    }
    return out;
}

// The tree is one tree: every child names its parent, no item appears twice, and the keyboard
// picture has one item per drawn key (87 keys).
TEST(AccessTreeShapeTest, ChildrenAndParentsAgreeAndTheKeyboardHasEveryKey) {
    std::set<std::pair<int, int>> seen;
    for (const ItemId& id : allItems()) {
        EXPECT_TRUE(seen.insert({static_cast<int>(id.kind), id.index}).second)
            << "twice: kind " << static_cast<int>(id.kind) << " index " << id.index;
        EXPECT_TRUE(exists(id));
        for (const ItemId& c : children(id)) {
            EXPECT_EQ(parent(c), id) << "kind " << static_cast<int>(c.kind) << " " << c.index;
        }
    }
    EXPECT_EQ(children({Kind::Keyboard, 0}).size(), 87u);
    EXPECT_EQ(children(area(hit::kEffectBox)).size(), 18u);
    EXPECT_EQ(children(area(hit::kResponseBox)).size(), 10u);
    EXPECT_FALSE(exists({Kind::Key, 200}));
    EXPECT_FALSE(exists(area(hit::kPanelTitle)));  // hover only, no item
}

// Opening the light section and picking an effect by item, as a screen reader would, ends with
// that effect in the image; the rows are offered only while the section is open.
TEST_F(AccessTreeTest, EffectRowsChooseTheirEffectThroughTheClicks) {
    const ItemId row5{Kind::EffectRow, 5};  // menu row 5: effect 6
    EXPECT_FALSE(item(row5).offered);       // every section starts collapsed
    EXPECT_TRUE(activation(row5, state(), effect()).empty());
    EXPECT_FALSE(item(area(hit::kLightingTitle)).expanded);
    activate(area(hit::kLightingTitle));
    EXPECT_TRUE(item(area(hit::kLightingTitle)).expanded);
    for (int r : {5, 0, 17, 13, 2}) {
        const auto out = activate({Kind::EffectRow, r});
        ASSERT_TRUE(out);
        EXPECT_TRUE(out->imageChanged);
        EXPECT_EQ(effect(), settings::effectTable()[static_cast<std::size_t>(r)].code) << r;
        EXPECT_FALSE(state().panel.effectListOpen);
        EXPECT_TRUE(item({Kind::EffectRow, r}).checked);
        EXPECT_EQ(item(area(hit::kEffectBox)).description,
                  settings::effectTable()[static_cast<std::size_t>(r)].name.en);
    }
    EXPECT_FALSE(state().panel.diyView);  // DIY1 (row 13) turned it on, Wave (row 2) off
}

// Rows of the response list store row + 1 and show as "%d ms" of twice the byte.
TEST_F(AccessTreeTest, ResponseRowsStoreTheirByte) {
    EXPECT_TRUE(activation({Kind::ResponseRow, 4}, state(), effect()).empty());
    activate(area(hit::kResponseTitle));
    ASSERT_TRUE(activate({Kind::ResponseRow, 4}));
    EXPECT_EQ(image()[img::kResponseTime], 5);
    EXPECT_EQ(item(area(hit::kResponseBox)).description, "10 ms");
    EXPECT_TRUE(item({Kind::ResponseRow, 4}).checked);
    EXPECT_EQ(item({Kind::ResponseRow, 9}).name, "20ms");
}

// An open overlay takes the first click: activating another item closes it first, and a list's
// own box closes it without reopening it.
TEST_F(AccessTreeTest, AnOpenOverlayIsClosedBeforeTheItemIsClicked) {
    activate(area(hit::kHelp));
    ASSERT_TRUE(state().helpOpen);
    const auto save = activate(area(hit::kSave));
    ASSERT_TRUE(save);
    EXPECT_EQ(save->command.command, Command::Save);
    EXPECT_FALSE(state().helpOpen);

    activate(area(hit::kLightingTitle));
    activate(area(hit::kEffectBox));
    ASSERT_TRUE(state().panel.effectListOpen);
    activate(area(hit::kEffectBox));
    EXPECT_FALSE(state().panel.effectListOpen);

    // A help row opens the help box first.
    const auto row = activate({Kind::HelpRow, 1});
    ASSERT_TRUE(row);
    EXPECT_EQ(row->helpRow, 1);
    EXPECT_TRUE(activation({Kind::HelpRow, 2}, state(), effect()).empty());  // the version
}

// Every offered area is activated by one click that the hit test gives to that area, under
// every fold of the sections and for effects with and without their own controls.
TEST_F(AccessTreeTest, OfferedAreasAreClickedWhereTheHitTestFindsThem) {
    for (std::uint8_t e :
         {std::uint8_t{1}, std::uint8_t{3}, std::uint8_t{13}, std::uint8_t{16}, std::uint8_t{51}}) {
        for (int fold = 0; fold < 16; ++fold) {
            settings::PanelView panel;
            panel.lightingCollapsed = fold & 1;
            panel.gameCollapsed = fold & 2;
            panel.responseCollapsed = fold & 4;
            panel.reportCollapsed = fold & 8;
            panel.diyView = e >= 51;
            ViewState view;
            view.panel = panel;
            image()[img::kEffect] = e;
            Context c{&view, &image(), Language::English, false, ""};
            for (int code = 0; code < hit::kCodeCount; ++code) {
                const ItemId id = area(code);
                if (!exists(id)) continue;
                const Item it = describe(id, c);
                const auto points = activation(id, view, e);
                if (!it.offered || commandForHit(code).command == Command::None) {
                    EXPECT_TRUE(points.empty()) << "code " << code << " fold " << fold;
                    continue;
                }
                ASSERT_EQ(points.size(), 1u) << "code " << code;
                EXPECT_EQ(hitTest(points[0], panel, e), code) << "fold " << fold;
                EXPECT_TRUE(it.rect.contains(points[0]));
                EXPECT_FALSE(it.name.empty()) << "code " << code;
            }
        }
    }
}

// Keys: named after the key, clicked at their centre; the Win key and Fn cannot be chosen in
// the key-map view but can in the DIY view, where a click toggles the key's colour.
TEST_F(AccessTreeTest, KeysAreNamedAndOpenTheirAssignment) {
    const int a = *describe::findSlot("A");
    EXPECT_EQ(item({Kind::Key, a}).name, "A");
    const auto out = activate({Kind::Key, a});
    ASSERT_TRUE(out);
    EXPECT_EQ(out->assignKey, a);
    EXPECT_FALSE(item({Kind::Key, kWinKeySlot}).offered);
    EXPECT_EQ(item({Kind::Key, kWinKeySlot}).description, text::kNotChoosable.en);
    EXPECT_TRUE(activation({Kind::Key, kWinKeySlot}, state(), effect()).empty());

    activate(area(hit::kLightingTitle));
    activate({Kind::EffectRow, 13});  // DIY1: the DIY view
    ASSERT_TRUE(diyViewActive(state(), effect()));
    EXPECT_EQ(item({Kind::Key, kWinKeySlot}).description, text::kUnlit.en);
    const auto toggled = activate({Kind::Key, kWinKeySlot});
    ASSERT_TRUE(toggled);
    EXPECT_FALSE(toggled->assignKey);
    EXPECT_EQ(item({Kind::Key, kWinKeySlot}).description, "#0000FF");  // the default paint
}

// Tab visits the offered controls in reading order, with the keyboard picture as one stop;
// an open list keeps Tab among its rows.
TEST_F(AccessTreeTest, TabOrderFollowsTheLayout) {
    const std::vector<ItemId> collapsed{
        area(hit::kHelp),          area(hit::kMinimise),    area(hit::kClose),
        area(hit::kLightingTitle), area(hit::kMacros),      area(hit::kGameTitle),
        area(hit::kResponseTitle), area(hit::kReportTitle), area(hit::kProfile),
        area(hit::kReturn),        area(hit::kCancel),      area(hit::kSave),
        ItemId{Kind::Keyboard, 0}};
    EXPECT_EQ(tabOrder(state(), effect()), collapsed);

    activate(area(hit::kGameTitle));
    const auto open = tabOrder(state(), effect());
    const std::vector<ItemId> game{area(hit::kGameTitle), area(hit::kGameModeOn),
                                   area(hit::kGameModeOff), area(hit::kWinLockOn),
                                   area(hit::kWinLockOff)};
    const auto at = std::find(open.begin(), open.end(), game.front());
    ASSERT_NE(at, open.end());
    EXPECT_TRUE(std::equal(game.begin(), game.end(), at));

    activate(area(hit::kLightingTitle));
    activate(area(hit::kEffectBox));
    const auto rows = tabOrder(state(), effect());
    ASSERT_EQ(rows.size(), 18u);
    EXPECT_EQ(rows.front(), (ItemId{Kind::EffectRow, 0}));
}

// Arrow keys move to the neighbouring key of the picture.
TEST(AccessKeysTest, ArrowsMoveToTheNeighbouringKey) {
    const auto slot = [](const char* name) { return *describe::findSlot(name); };
    const auto move = [](int from, int dx, int dy) {
        const auto to = keyInDirection(from, dx, dy, false);
        return to ? describe::slotName(*to) : std::string("none");
    };
    EXPECT_EQ(move(slot("Q"), 1, 0), "W");
    EXPECT_EQ(move(slot("W"), -1, 0), "Q");
    EXPECT_EQ(move(slot("Q"), 0, 1), "A");
    EXPECT_EQ(move(slot("A"), 0, -1), "Q");
    EXPECT_EQ(move(slot("Esc"), 1, 0), "F1");
    EXPECT_EQ(move(slot("Esc"), -1, 0), "none");
    EXPECT_EQ(firstKey(false), slot("Esc"));
}

// Names come from the window's own texts in its language; radios and the direction buttons
// say what they stand for and which one is set.
TEST_F(AccessTreeTest, NamesAndStatesFollowTheLanguageAndTheImage) {
    EXPECT_EQ(item(area(hit::kSave), Language::Chinese).name, "保存");
    EXPECT_EQ(item(area(hit::kLightingTitle), Language::Chinese).name, "灯光");
    EXPECT_EQ(item({Kind::Section, 3}).name, "USB Report Rate");
    image()[img::kGameMode] = 1;
    EXPECT_TRUE(item(area(hit::kGameModeOn)).checked);
    EXPECT_FALSE(item(area(hit::kGameModeOff)).checked);
    EXPECT_EQ(item(area(hit::kGameModeOff), Language::Chinese).name, "关闭");

    image()[img::kEffect] = settings::effect::kWave;  // four buttons: top, bottom, right, left
    image()[img::kDirection] = 1;                     // left: the fourth button is lit
    activate(area(hit::kLightingTitle));
    const std::vector<std::string> names{"Up", "Down", "Right", "Left"};
    for (int i = 0; i < 4; ++i) {
        const Item it = item(area(hit::kDirection1 + i));
        EXPECT_EQ(it.name, names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(it.checked, i == 3);
        EXPECT_TRUE(it.offered);
    }
    image()[img::kEffect] = settings::effect::kStatic;  // no direction row
    EXPECT_FALSE(item(area(hit::kDirection1)).offered);
}

}  // namespace
}  // namespace tavrik::mainwindow::access
