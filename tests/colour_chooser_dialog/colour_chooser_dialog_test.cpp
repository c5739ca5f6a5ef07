// The colour chooser from the keyboard and the mouse: what each part does to the colour, the
// order Tab goes in, and what OK and Cancel give back.

#include <gtest/gtest.h>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "dialogs/colour_chooser/colour_chooser_dialog.h"
#include "dialogs/colour_chooser/colour_fields.h"
#include "settings/diy_paint.h"

namespace tavrik::app::colour_chooser_test {
namespace {

using settings::Rgb;

class ColourChooser : public ::testing::Test {
protected:
    void SetUp() override {
        m_dialog = std::make_unique<ColourChooserDialog>(Rgb{255, 0, 0}, std::vector<Rgb>{},
                                                         Language::English);
        m_dialog->show();
        QApplication::setActiveWindow(m_dialog.get());
        m_dialog->activateWindow();
    }
    QWidget* focused() const { return QApplication::focusWidget(); }
    std::unique_ptr<ColourChooserDialog> m_dialog;
};

TEST_F(ColourChooser, TabGoesThroughEveryPartInOrder) {
    m_dialog->svField()->setFocus();
    // The recent row is empty: nothing to tab to there.
    const std::vector<QWidget*> order{m_dialog->hueStrip(),     m_dialog->hexField(),
                                      m_dialog->paletteRow(),   m_dialog->okButton(),
                                      m_dialog->cancelButton(), m_dialog->svField()};
    for (QWidget* next : order) {
        QTest::keyClick(focused(), Qt::Key_Tab);
        EXPECT_EQ(focused(), next) << next->metaObject()->className();
    }
}

TEST_F(ColourChooser, ArrowsMoveSaturationValueAndHue) {
    m_dialog->svField()->setFocus();
    QTest::keyClick(m_dialog->svField(), Qt::Key_Down, Qt::ShiftModifier);  // value 255 - 16
    EXPECT_EQ(m_dialog->colour(), (Rgb{239, 0, 0}));
    QTest::keyClick(m_dialog->svField(), Qt::Key_Left);  // saturation 254
    EXPECT_EQ(m_dialog->svField()->hsv(), (settings::Hsv{0, 254, 239}));
    EXPECT_EQ(m_dialog->hexField()->text().toStdString(), settings::toHex(m_dialog->colour()));
    m_dialog->setColour({255, 0, 0});
    QTest::keyClick(m_dialog->hueStrip(), Qt::Key_Down, Qt::ShiftModifier);  // hue 15
    EXPECT_EQ(m_dialog->hueStrip()->hue(), 15);
    EXPECT_EQ(m_dialog->colour(), (Rgb{255, 64, 0}));
    QTest::keyClick(m_dialog->hueStrip(), Qt::Key_Up);
    QTest::keyClick(m_dialog->hueStrip(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(m_dialog->hueStrip()->hue(), 359);  // wraps past red
}

TEST_F(ColourChooser, TheHexFieldTakesOnlyACompleteColour) {
    QLineEdit* hex = m_dialog->hexField();
    hex->setFocus();
    hex->selectAll();
    QTest::keyClicks(hex, "00ff8");
    EXPECT_EQ(m_dialog->colour(), (Rgb{255, 0, 0}));  // five digits: nothing yet
    QTest::keyClicks(hex, "0");
    EXPECT_EQ(m_dialog->colour(), (Rgb{0, 255, 128}));
    EXPECT_EQ(hex->text(), QStringLiteral("00ff80"));  // the typed text stays as typed
    QTest::keyClicks(hex, "zz");                       // refused by the field
    EXPECT_EQ(hex->text(), QStringLiteral("00ff80"));
    EXPECT_EQ(m_dialog->hueStrip()->hue(), 150);
}

TEST_F(ColourChooser, SwatchesPickByArrowAndClickAndAGreyKeepsItsHue) {
    SwatchRow* palette = m_dialog->paletteRow();
    palette->setFocus();
    // The chooser started at red, the first swatch: Right goes on from there.
    QTest::keyClick(palette, Qt::Key_Right);
    EXPECT_EQ(m_dialog->colour(), settings::kPalette[1]);
    QTest::keyClick(palette, Qt::Key_Left);
    QTest::keyClick(palette, Qt::Key_Left);  // stays at the first
    EXPECT_EQ(m_dialog->colour(), settings::kPalette[0]);
    QTest::keyClick(palette, Qt::Key_End);
    EXPECT_EQ(m_dialog->colour(), settings::kPalette[7]);
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(2 * SwatchRow::kStep + 5, 10));
    EXPECT_EQ(m_dialog->colour(), settings::kPalette[2]);
    const int hue = m_dialog->hueStrip()->hue();
    QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(6 * SwatchRow::kStep + 5, 10));  // white
    EXPECT_EQ(m_dialog->colour(), (Rgb{255, 255, 255}));
    EXPECT_EQ(m_dialog->hueStrip()->hue(), hue);
    EXPECT_EQ(palette->swatchAt({SwatchRow::kSwatch + 1, 10}), -1);  // the gap between two
}

TEST_F(ColourChooser, TheSquareAndTheStripFollowTheMouse) {
    SvField* sv = m_dialog->svField();
    QTest::mouseClick(sv, Qt::LeftButton, {}, QPoint(1, 1));  // top left: white
    EXPECT_EQ(m_dialog->colour(), (Rgb{255, 255, 255}));
    QTest::mouseClick(sv, Qt::LeftButton, {}, QPoint(sv->width() - 2, sv->height() - 2));
    EXPECT_EQ(m_dialog->colour(), (Rgb{0, 0, 0}));
    QTest::mouseClick(sv, Qt::LeftButton, {}, QPoint(sv->width() - 2, 1));
    EXPECT_EQ(m_dialog->colour(), (Rgb{255, 0, 0}));
    HueStrip* hue = m_dialog->hueStrip();
    QTest::mouseClick(hue, Qt::LeftButton, {}, QPoint(5, hue->height() / 3));
    EXPECT_NEAR(m_dialog->hueStrip()->hue(), 120, 2);
    EXPECT_EQ(m_dialog->colour().b, 0);
    EXPECT_EQ(m_dialog->colour().g, 255);
}

// Answers the chooser once it runs: with keys typed into it, or a click.
void whenShown(const std::function<void(ColourChooserDialog&)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<ColourChooserDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

TEST(ChooseColour, EnterAcceptsAndPutsTheColourFirstInTheRecentColours) {
    std::vector<Rgb> recent{{1, 2, 3}, {0, 255, 0}};
    whenShown([](ColourChooserDialog& d) {
        d.hexField()->setFocus();
        d.hexField()->selectAll();
        QTest::keyClicks(d.hexField(), "00FF00");
        QTest::keyClick(d.hexField(), Qt::Key_Return);
    });
    EXPECT_EQ(chooseColour(nullptr, {255, 0, 0}, recent, Language::Chinese), (Rgb{0, 255, 0}));
    EXPECT_EQ(recent, (std::vector<Rgb>{{0, 255, 0}, {1, 2, 3}}));
}

TEST(ChooseColour, EscAndCancelGiveNothingAndKeepTheRecentColours) {
    std::vector<Rgb> recent{{1, 2, 3}};
    whenShown([](ColourChooserDialog& d) {
        QTest::keyClick(d.svField(), Qt::Key_Left);
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(chooseColour(nullptr, {255, 0, 0}, recent, Language::English), std::nullopt);
    whenShown([](ColourChooserDialog& d) { d.cancelButton()->click(); });
    EXPECT_EQ(chooseColour(nullptr, {255, 0, 0}, recent, Language::English), std::nullopt);
    EXPECT_EQ(recent, (std::vector<Rgb>{{1, 2, 3}}));
}

TEST(ChooseColour, ADoubleClickOnARecentColourChoosesIt) {
    std::vector<Rgb> recent{{1, 2, 3}, {10, 20, 30}};
    whenShown([](ColourChooserDialog& d) {
        QTest::mouseDClick(d.recentRow(), Qt::LeftButton, {}, QPoint(SwatchRow::kStep + 5, 10));
    });
    EXPECT_EQ(chooseColour(nullptr, {255, 0, 0}, recent, Language::English), (Rgb{10, 20, 30}));
    EXPECT_EQ(recent.front(), (Rgb{10, 20, 30}));
    EXPECT_EQ(recent.size(), 2u);
}

}  // namespace
}  // namespace tavrik::app::colour_chooser_test
