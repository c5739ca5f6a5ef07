#include "dialogs/colour_chooser/colour_chooser_dialog.h"

#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "dialogs/colour_chooser/colour_fields.h"
#include "host/qt/qt_text.h"
#include "settings/diy_paint.h"
#include "skin/text_style.h"
#include "skin/window_dragger.h"

namespace tavrik::app {
namespace {

namespace look = chooser_look;
namespace txt = chooser_text;

// Placement within the dialog (pixels).
constexpr int kTitleHeight = 28;
constexpr QRect kSvRect{16, 40, 180, 180};
constexpr QRect kHueRect{206, 40, 20, 180};
constexpr QRect kPreviewRect{242, 56, 114, 44};  // new over current
constexpr QRect kHexLabel{242, 128, 114, 16};
constexpr QRect kHexRect{242, 146, 114, 24};
constexpr QRect kPaletteLabel{16, 228, 200, 14};
constexpr QRect kPaletteRect{16, 244, 200, 24};
constexpr QRect kRecentLabel{16, 272, 200, 14};
constexpr QRect kRecentRect{16, 288, 200, 24};
constexpr QRect kOkRect{242, 296, 54, 24};
constexpr QRect kCancelRect{302, 296, 54, 24};
constexpr int kLabelHeight = 13;

QString buttonStyle() {
    return QStringLiteral(
               "QPushButton { color: white; background: %1; border: 1px solid %2;"
               " border-radius: 4px; font-size: 13px; }"
               "QPushButton:hover { background: %3; }"
               "QPushButton:default { border: 1px solid %5; }"
               "QPushButton:focus { border: 1px solid %4; }")
        .arg(look::kButton.name(), look::kEdge.name(), look::kButtonOver.name(),
             look::kFocus.name(), look::kHint.name());
}

QString fieldStyle() {
    return QStringLiteral(
               "QLineEdit { color: white; background: %1; border: 1px solid %2;"
               " border-radius: 3px; padding: 0 4px; font-size: 14px;"
               " selection-background-color: %3; }"
               "QLineEdit:focus { border: 1px solid %4; }")
        .arg(look::kTitleStrip.name(), look::kEdge.name(), look::kButtonOver.name(),
             look::kFocus.name());
}

}  // namespace

ColourChooserDialog::ColourChooserDialog(settings::Rgb initial, std::vector<settings::Rgb> recent,
                                         Language lang, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint),
      m_lang(lang),
      m_initial(initial),
      m_colour(initial),
      m_hsv(settings::toHsv(initial)) {
    setWindowTitle(qs(txt::kTitle, lang));
    setFixedSize(kSize);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Dragged by its title strip.
    new skin::WindowDragger(this, [](QPoint p) { return p.y() >= kTitleHeight; });

    m_sv = new SvField(this);
    m_sv->setGeometry(kSvRect);
    m_sv->setAccessibleName(qs(txt::kTitle, lang));
    m_hue = new HueStrip(this);
    m_hue->setGeometry(kHueRect);
    m_hex = new QLineEdit(this);
    m_hex->setGeometry(kHexRect);
    m_hex->setMaxLength(7);
    m_hex->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("#?[0-9A-Fa-f]{0,6}")), m_hex));
    m_hex->setStyleSheet(fieldStyle());
    m_hex->setAccessibleName(qs(txt::kHex, lang));
    m_palette = new SwatchRow(this);
    m_palette->setGeometry(kPaletteRect);
    m_palette->setColours({settings::kPalette.begin(), settings::kPalette.end()});
    m_recent = new SwatchRow(this);
    m_recent->setGeometry(kRecentRect);
    m_recent->setEmptyHint(qs(txt::kNoRecent, lang));
    m_recent->setColours(std::move(recent));
    m_ok = new QPushButton(qs(txt::kOk, lang), this);
    m_ok->setGeometry(kOkRect);
    m_ok->setDefault(true);
    m_ok->setStyleSheet(buttonStyle());
    m_cancel = new QPushButton(qs(txt::kCancel, lang), this);
    m_cancel->setGeometry(kCancelRect);
    m_cancel->setStyleSheet(buttonStyle());

    // Tab order: the square, the hue, the hex field, the palette, the recent colours, OK, Cancel.
    setTabOrder(m_sv, m_hue);
    setTabOrder(m_hue, m_hex);
    setTabOrder(m_hex, m_palette);
    setTabOrder(m_palette, m_recent);
    setTabOrder(m_recent, m_ok);
    setTabOrder(m_ok, m_cancel);

    connect(m_sv, &SvField::picked, this, &ColourChooserDialog::showHsv);
    connect(m_hue, &HueStrip::picked, this, [this](int hue) {
        settings::Hsv hsv = m_hsv;
        hsv.h = hue;
        showHsv(hsv);
    });
    connect(m_hex, &QLineEdit::textEdited, this, &ColourChooserDialog::hexEdited);
    for (SwatchRow* row : {m_palette, m_recent}) {
        connect(row, &SwatchRow::picked, this, &ColourChooserDialog::setColour);
        connect(row, &SwatchRow::accepted, this, &QDialog::accept);
    }
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    showColour(initial, m_hsv, false);
    m_sv->setFocus();
    if (parent) move(parent->geometry().center() - rect().center());
}

ColourChooserDialog::~ColourChooserDialog() = default;

void ColourChooserDialog::setColour(settings::Rgb colour) {
    settings::Hsv hsv = settings::toHsv(colour);
    if (hsv.s == 0) hsv.h = m_hsv.h;  // a grey keeps the hue the strip shows
    showColour(colour, hsv, false);
}

void ColourChooserDialog::showHsv(settings::Hsv hsv) {
    showColour(settings::toRgb(hsv), hsv, false);
}

void ColourChooserDialog::hexEdited(const QString& text) {
    // Only a complete colour changes the others; the text being typed stays as it is.
    if (auto c = settings::parseHex(text.toStdString())) {
        settings::Hsv hsv = settings::toHsv(*c);
        if (hsv.s == 0) hsv.h = m_hsv.h;
        showColour(*c, hsv, true);
    }
}

void ColourChooserDialog::showColour(settings::Rgb colour, settings::Hsv hsv, bool keepHexText) {
    m_colour = colour;
    m_hsv = hsv;
    m_sv->setHsv(hsv);
    m_hue->setHue(hsv.h);
    if (!keepHexText) m_hex->setText(QString::fromStdString(settings::toHex(colour)));
    m_palette->markColour(colour);
    m_recent->markColour(colour);
    update();
}

void ColourChooserDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), look::kBackground);
    p.fillRect(QRect(0, 0, width(), kTitleHeight), look::kTitleStrip);
    p.setPen(look::kEdge);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    skin::drawCaption(p, QRect(12, 0, width() - 24, kTitleHeight), qs(txt::kTitle, m_lang), 15,
                      Qt::white, Qt::AlignLeft);
    // The new colour over the one the chooser started with.
    const QRect top(kPreviewRect.left(), kPreviewRect.top(), kPreviewRect.width(),
                    kPreviewRect.height() / 2);
    const QRect bottom = top.translated(0, top.height());
    p.fillRect(top, look::qColour(m_colour));
    p.fillRect(bottom, look::qColour(m_initial));
    p.setPen(look::kEdge);
    p.drawRect(kPreviewRect.adjusted(0, 0, -1, -1));
    skin::drawCaption(p, QRect(kPreviewRect.left(), kPreviewRect.top() - 16, 56, 14),
                      qs(txt::kNew, m_lang), 12, look::kHint, Qt::AlignLeft);
    skin::drawCaption(
        p, QRect(kPreviewRect.left(), kPreviewRect.bottom() + 2, kPreviewRect.width(), 14),
        qs(txt::kCurrent, m_lang), 12, look::kHint, Qt::AlignLeft);
    skin::drawCaption(p, kHexLabel, qs(txt::kHex, m_lang), kLabelHeight, Qt::white, Qt::AlignLeft);
    skin::drawCaption(p, kPaletteLabel, qs(txt::kPalette, m_lang), kLabelHeight, Qt::white,
                      Qt::AlignLeft);
    skin::drawCaption(p, kRecentLabel, qs(txt::kRecent, m_lang), kLabelHeight, Qt::white,
                      Qt::AlignLeft);
}

std::optional<settings::Rgb> chooseColour(QWidget* parent, settings::Rgb initial,
                                          std::vector<settings::Rgb>& recent, Language lang) {
    ColourChooserDialog dialog(initial, recent, lang, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    settings::addRecentColour(recent, dialog.colour());
    return dialog.colour();
}

}  // namespace tavrik::app
