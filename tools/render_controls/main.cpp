// Renders the skinned controls and the generated skin to PNG files for a visual check:
// the splash screens, a macro event list, a profile list, the function tree, the sliders over
// their panel, a mock-up of the main window composed at its coordinates, and contact sheets of
// every skin image. Usage: tavrik-render-controls [output folder] (default: render-out); the
// skin is read from beside this executable.

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QWidget>
#include <cstdio>

#include "common/language.h"
#include "controls/bitmap_slider.h"
#include "controls/skin_list_box.h"
#include "controls/skin_tree.h"
#include "host/qt/qt_text.h"
#include "model/slot_table.h"
#include "settings/sliders.h"
#include "skin/skin_images.h"
#include "skin/skin_manifest.h"
#include "skin/skin_paths.h"
#include "skin/splash_screen.h"
#include "skin/text_style.h"

using namespace tavrik;

namespace {

QString outDir;

void save(QWidget& w, const QString& name) {
    w.ensurePolished();
    const QPixmap pm = w.grab();
    const QString path = outDir + "/" + name;
    std::printf("%s %s\n", pm.save(path) ? "wrote" : "FAILED", qPrintable(path));
}

void save(const QImage& img, const QString& name) {
    const QString path = outDir + "/" + name;
    std::printf("%s %s\n", img.save(path) ? "wrote" : "FAILED", qPrintable(path));
}

// A widget that paints one skin image as its background.
class Backdrop : public QWidget {
public:
    Backdrop(skin::SkinImages& images, QString name, QSize size)
        : m_images(images), m_name(std::move(name)) {
        resize(size);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(24, 25, 29));
        m_images.draw(p, 0, 0, m_name);
    }

private:
    skin::SkinImages& m_images;
    QString m_name;
};

void renderSplash(const QString& program) {
    for (int code : {0, kChineseLanguageCode}) {
        skin::SplashScreen splash(program, code);
        save(splash, code == kChineseLanguageCode ? "splash-chinese.png" : "splash-english.png");
    }
}

void renderLists(const QString& program) {
    skin::SkinImages macro(skin::skinFolder(program, 0, skin::SkinPart::MacroManagement));
    Backdrop dialog(macro, "MacroManagement.png", {410, 440});
    auto* names = new app::SkinListBox(&dialog);
    auto* events = new app::SkinListBox(&dialog);
    names->setGeometry(20, 80, 113, 275);
    events->setGeometry(150, 80, 113, 275);
    for (auto* list : {names, events}) {
        list->configure(16, "Arial", Qt::white, QColor(0, 255, 255), true, Qt::black, 2);
    }
    events->setEditMode(app::SkinListBox::kDelayValue);
    for (const char* n : {"Macro 1", "Combo", "Build order", "Chat"}) names->addString(n);
    for (const char* line : {"A dn", "120 ms", "A up", "35 ms", "Shift dn", "8 ms", "B dn", "16 ms",
                             "B up", "12 ms", "Shift up", "250 ms", "Enter dn", "Enter up"}) {
        events->addString(line);
    }
    names->setCurrentRow(1);
    events->setCurrentRow(5);
    dialog.show();
    save(dialog, "listbox-macro.png");
    events->beginEdit(5);
    save(dialog, "listbox-macro-editing.png");
    events->endEdit(false);

    skin::SkinImages config(skin::skinFolder(program, 0, skin::SkinPart::Config));
    Backdrop profiles(config, "Config.png", {262, 600});
    auto* list = new app::SkinListBox(&profiles);
    list->setEditMode(app::SkinListBox::kNotifyRename);
    list->setGeometry(1, 34, 260, 540);
    list->configure(15, "Arial", Qt::white, QColor(0, 255, 255), true, Qt::black, 2);
    for (const char* n : {"Default", "FPS", "MOBA", "Office"}) list->addString(n);
    list->setCurrentRow(2);
    profiles.show();
    save(profiles, "listbox-profiles.png");
}

void renderTree() {
    QWidget host;
    host.resize(315, 180);
    host.setStyleSheet("background: rgb(24,25,29)");
    auto* tree = new app::SkinTree(&host);
    tree->setGeometry(10, 10, 295, 160);
    tree->loadPictures();
    tree->setBackgroundMode(app::SkinTree::kSolidBackground);
    tree->setShowSelectionAlways(true);
    const std::pair<const char*, std::vector<const char*>> groups[] = {
        {"Multimedia", {"Play/Pause", "Stop", "Previous Track", "Next Track", "Mute"}},
        {"Windows", {"My Computer", "Calculator", "E-mail"}},
        {"Shortcuts", {"Copy", "Paste", "Cut"}}};
    QTreeWidgetItem* select = nullptr;
    for (const auto& [name, children] : groups) {
        auto* g = new QTreeWidgetItem(tree, QStringList{name});
        for (const char* c : children) {
            auto* it = new QTreeWidgetItem(g, QStringList{c});
            if (QString(c) == "Next Track") select = it;
        }
    }
    new QTreeWidgetItem(tree, QStringList{"Disable key"});
    tree->expandItem(tree->topLevelItem(0));
    tree->setCurrentItem(select);
    host.show();
    save(host, "tree-catalogue.png");
}

void renderSliders(const QString& program) {
    skin::SkinImages images(skin::skinFolder(program, 0, skin::SkinPart::Main));
    QWidget host;
    host.resize(262, 120);
    struct Panel : QWidget {
        skin::SkinImages* images = nullptr;
        void paintEvent(QPaintEvent*) override {
            QPainter p(this);
            images->draw(p, 0, 0, "freq.png");
            skin::drawText(p, 9, 2, "Brightness", 13);
            skin::drawText(p, 9, 29, "Dark", 13);
            skin::drawText(p, 211, 29, "Bright", 13);
            skin::drawText(p, 9, 45, "Speed", 13);
            skin::drawText(p, 9, 72, "Slow", 13);
            skin::drawText(p, 211, 72, "Fast", 13);
        }
    };
    auto* panel = new Panel;
    panel->setParent(&host);
    panel->images = &images;
    panel->setGeometry(0, 0, 243, 90);
    auto* brightness =
        new app::BitmapSlider(static_cast<int>(settings::SliderId::Brightness), panel);
    auto* speed = new app::BitmapSlider(static_cast<int>(settings::SliderId::Speed), panel);
    brightness->setRange(0, 50);
    speed->setRange(0, 9);
    brightness->move(9, 15);
    speed->move(9, 58);
    brightness->setUp(images);
    speed->setUp(images);
    brightness->setValue(30);
    speed->setValue(4);
    host.show();
    save(host, "sliders.png");
}

// The main window's surface composed at the panel layout's coordinates (all sections expanded).
void renderMainMockup(const QString& program, int code) {
    skin::SkinImages s(skin::skinFolder(program, code, skin::SkinPart::Main));
    QImage img(1000, 640, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    const bool zh = code == kChineseLanguageCode;
    auto t = [&](int x, int y, const char* en, const char* cn, int h) {
        skin::drawText(p, x, y, QString::fromUtf8(zh ? cn : en), h);
    };
    s.draw(p, 0, 0, "main.png");
    s.draw(p, 936, 5, "button-help-normal.png");
    s.draw(p, 957, 5, "button-min-over.png");
    s.draw(p, 978, 5, "button-close-normal.png");
    s.draw(p, 19, 35, "logo.png");
    s.draw(p, 275, 85, "kb_BK.png");
    for (int slot : {0, 30, 60}) {
        const auto r = model::slot(slot).rect;
        s.drawPart(p, QPoint(r.left + 275, r.top + 85),
                   QRect(r.left, r.top, r.width() + 1, r.height() + 1), "kb_hl.png");
    }
    const int xs[] = {800, 862, 924};
    for (int i = 0; i < 3; ++i) {
        s.draw(p, xs[i], 600, i == 2 ? "button-cancel-over.png" : "button-cancel-normal.png");
    }
    t(810, 607, "Return", "恢复", 16);
    t(872, 607, "Cancel", "取消", 16);
    t(934, 607, "Save", "保存", 16);
    s.draw(p, 96, 610, "text.png");
    s.draw(p, 17, 603, "Config.png");
    t(45, 610, "Profile", "配置", 16);
    const int L = 225, G = 165 + L, R = 220 + L, P = R + 75;
    s.draw(p, 19, 110, "itemBK.png");
    t(19, 110, "Light", "灯光", 15);
    s.draw(p, 19, 130, "LEDEffect_open.png");
    t(28, 137, "Effect", "效果", 15);
    s.draw(p, 28, 158, "Light_Item.png");
    t(28, 158, "Wave", "波浪", 14);
    s.draw(p, 19, 245, "freq.png");
    t(29, 177, "方向", "方向", 15);
    const char* dirs[] = {"T", "B", "R", "L"};
    for (int i = 0; i < 4; ++i) {
        s.draw(p, 29 + 50 * i, 197,
               QString("Direction-%1-%2.png").arg(dirs[i]).arg(i == 2 ? "Enable" : "Disable"));
    }
    t(28, 247, "Brightness", "亮度", 13);
    t(28, 274, "Dark", "黑", 13);
    t(230, 274, "Bright", "亮", 13);
    t(28, 290, "Speed", "速度", 13);
    t(28, 317, "Slow", "慢", 13);
    t(230, 317, "Fast", "快", 13);
    const QImage bar = s.image(app::qs(skin::kSliderBar));
    const QImage thumb = s.image(app::qs(skin::kSliderThumb));
    for (int y : {260, 303}) {
        p.drawImage(28, y, bar);
        p.drawImage(QPoint(28 + 90, y), thumb, QRect(0, 0, skin::kThumbWidth, skin::kThumbHeight));
    }
    s.draw(p, 19, 110 + L, "MacroManagementBK.png");
    s.draw(p, 19, 120 + L, "MacroButton3.png");
    t(21, 122 + L, "Macro Management", "宏管理器", 15);
    s.draw(p, 19, G, "gamemode_open.png");
    t(19, G, "Game Mode", "游戏模式", 15);
    t(149, G, "Win Lock", "Win Lock模式", 15);
    s.draw(p, 34, G + 33, "Enable.png");
    s.draw(p, 88, G + 33, "Disable.png");
    s.draw(p, 164, G + 33, "Disable.png");
    s.draw(p, 218, G + 33, "Enable.png");
    t(51, G + 31, "ON", "开启", 15);
    t(105, G + 31, "OFF", "关闭", 15);
    t(181, G + 31, "ON", "开启", 15);
    t(235, G + 31, "OFF", "关闭", 15);
    s.draw(p, 19, R, "responsetime_open.png");
    t(19, R, "Response Time", "按键响应时间", 15);
    s.draw(p, 28, R + 28, "Light_Item.png");
    t(100, R + 28, "2 ms", "2 ms", 15);
    s.draw(p, 19, P, "reportrate_Open.png");
    t(19, P, "USB Report Rate", "USB报告率", 15);
    p.drawImage(28, P + 23, bar);
    p.drawImage(QPoint(28, P + 23), thumb, QRect(skin::kThumbWidth, 0, skin::kThumbWidth, 14));
    s.draw(p, 830, 22, "HelpWindow.png");
    t(850, 25, "www.example.com", "www.example.com", 15);
    t(850, 50, "Update Firmware", "驱动更新", 15);
    t(850, 75, "Ver: 1.1", "Ver: 1.1", 15);
    p.end();
    save(img, zh ? "main-mockup-chinese.png" : "main-mockup-english.png");
    for (const QString& missed : s.missedFiles()) std::printf("MISSING %s\n", qPrintable(missed));
    for (const QString& name : s.unlistedFiles(skin::SkinPart::Main)) {
        std::printf("NOT IN MANIFEST %s\n", qPrintable(name));
    }
}

// Every image of one part on a grid, labelled with its name and size (large ones scaled down).
void renderContactSheet(const QString& program, skin::SkinPart part, const QString& name) {
    skin::SkinImages s(skin::skinFolder(program, 0, part));
    constexpr int kCell = 260, kThumbArea = 200, kColumns = 4;
    std::vector<const skin::SkinImageEntry*> entries;
    for (const auto& entry : skin::skinManifest()) {
        if (entry.part == part) entries.push_back(&entry);
    }
    const int rows = int(entries.size() + kColumns - 1) / kColumns;
    QImage sheet(kColumns * kCell, rows * (kThumbArea + 40), QImage::Format_RGB32);
    sheet.fill(QColor(120, 120, 126));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    for (size_t i = 0; i < entries.size(); ++i) {
        const int x = int(i % kColumns) * kCell + 10,
                  y = int(i / kColumns) * (kThumbArea + 40) + 10;
        const QImage img = s.image(app::qs(entries[i]->name));
        QSize fit = img.size();
        if (fit.width() > kCell - 20 || fit.height() > kThumbArea - 10) {
            fit.scale(kCell - 20, kThumbArea - 10, Qt::KeepAspectRatio);
        } else if (fit.width() * 3 <= kCell - 20 && fit.height() * 3 <= kThumbArea - 10) {
            fit *= 3;  // small buttons enlarged (pixel-exact) so their states can be compared
        }
        p.drawImage(QRect(QPoint(x, y), fit), img);
        skin::drawText(p, x, y + kThumbArea,
                       QString("%1  %2x%3")
                           .arg(app::qs(entries[i]->name))
                           .arg(entries[i]->width)
                           .arg(entries[i]->height),
                       12, Qt::black);
    }
    p.end();
    save(sheet, name);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    outDir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("render-out");
    QDir().mkpath(outDir);
    const QString program = skin::programFolder();
    renderSplash(program);
    renderLists(program);
    renderTree();
    renderSliders(program);
    renderMainMockup(program, 0);
    renderMainMockup(program, kChineseLanguageCode);
    renderContactSheet(program, skin::SkinPart::Main, "sheet-main.png");
    renderContactSheet(program, skin::SkinPart::Config, "sheet-config.png");
    renderContactSheet(program, skin::SkinPart::Custom, "sheet-custom.png");
    renderContactSheet(program, skin::SkinPart::MacroManagement, "sheet-macro.png");
    return 0;
}
