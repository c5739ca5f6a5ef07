#pragma once
// ColourChooserDialog: the DIY view's chooser for any paint colour, in the skin's dark look. A
// saturation/value square for the hue of the hue strip beside it, the colour as six hex digits,
// the palette's eight swatches and the recently chosen colours; OK and Cancel. Everything works
// from the keyboard: Tab moves between the parts, the arrow keys move within one, Enter is OK
// and Esc is Cancel.

#include <QDialog>
#include <optional>
#include <vector>

#include "common/language.h"
#include "settings/colour_pick.h"

class QLineEdit;
class QPushButton;

namespace tavrik::app {

class SvField;
class HueStrip;
class SwatchRow;

// The chooser's own texts.
namespace chooser_text {
inline constexpr BiText kTitle{"Key colour", "按键颜色"};
inline constexpr BiText kHex{"Hex", "十六进制"};
inline constexpr BiText kPalette{"Palette", "色板"};
inline constexpr BiText kRecent{"Recent", "最近使用"};
inline constexpr BiText kNoRecent{"No colours chosen yet", "尚未选择颜色"};
inline constexpr BiText kNew{"New", "新"};
inline constexpr BiText kCurrent{"Current", "当前"};
inline constexpr BiText kOk{"OK", "确定"};
inline constexpr BiText kCancel{"Cancel", "取消"};
}  // namespace chooser_text

class ColourChooserDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize kSize{372, 336};

    ColourChooserDialog(settings::Rgb initial, std::vector<settings::Rgb> recent, Language lang,
                        QWidget* parent = nullptr);
    ~ColourChooserDialog() override;

    settings::Rgb colour() const { return m_colour; }
    // Shows the colour in every part (the hue is kept for greys, whose hue is undefined).
    void setColour(settings::Rgb colour);

    SvField* svField() const { return m_sv; }
    HueStrip* hueStrip() const { return m_hue; }
    QLineEdit* hexField() const { return m_hex; }
    SwatchRow* paletteRow() const { return m_palette; }
    SwatchRow* recentRow() const { return m_recent; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void showHsv(settings::Hsv hsv);
    void hexEdited(const QString& text);
    void showColour(settings::Rgb colour, settings::Hsv hsv, bool keepHexText);

    Language m_lang;
    settings::Rgb m_initial;
    settings::Rgb m_colour;
    settings::Hsv m_hsv;
    SvField* m_sv = nullptr;
    HueStrip* m_hue = nullptr;
    QLineEdit* m_hex = nullptr;
    SwatchRow* m_palette = nullptr;
    SwatchRow* m_recent = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
};

// Runs the chooser modally over parent, starting at `initial`. The chosen colour, or none when
// cancelled; an accepted colour goes first in `recent`.
std::optional<settings::Rgb> chooseColour(QWidget* parent, settings::Rgb initial,
                                          std::vector<settings::Rgb>& recent, Language lang);

}  // namespace tavrik::app
