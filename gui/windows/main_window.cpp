#include "windows/main_window.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <utility>

#include "common/atomic_file.h"
#include "host/qt/log_categories.h"
#include "host/qt/qt_text.h"
#include "keyhook/keysym_keys.h"
#include "macro/macro_store.h"
#include "mainwindow/key_tooltip.h"
#include "mainwindow/startup.h"
#include "mainwindow/surface_fit.h"
#include "mainwindow/texts.h"
#include "model/key_table.h"
#include "model/slot_table.h"
#include "skin/app_style.h"
#include "skin/skin_manifest.h"
#include "skin/skin_paths.h"
#include "skin/splash_screen.h"
#include "skin/surface_scaler.h"
#include "skin/window_dragger.h"
#include "windows/app_profile_switcher.h"

namespace tavrik::app {
namespace {

// Used when main.png cannot be read: large enough for every hit area.
constexpr QSize kFallbackSize{1000, 645};

}  // namespace

MainWindow::MainWindow(AppContext context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_context(std::move(context)),
      m_model(std::make_unique<model::ConfigModel>(m_context.paths.keymapFile().toStdString())),
      m_macros(std::make_unique<macro::MacroStore>()) {
    setWindowTitle(qs(mainwindow::text::kWindowTitle));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);  // the surface is painted whole, nothing to erase
    m_skin.setFolder(
        skin::skinFolder(m_context.paths.programFolder, languageCode(), skin::SkinPart::Main));
    setWindowIcon(skin::appIcon(m_context.paths.programFolder));
    connect(&m_preview, &LightingPreview::frame, this, [this] { update(shownKeyboardArea()); });
    // A press on a spot that is no control drags the window.
    new skin::WindowDragger(this, [this](QPoint p) {
        return m_view.isControlAt({p.x(), p.y()}, currentEffect());
    });
    // After the dragger: it sees surface positions too.
    m_scaler = new skin::SurfaceScaler(this);
}

int MainWindow::languageCode() const {
    return appconfig::languageCode(m_context.language);
}

MainWindow::~MainWindow() {
    if (m_tray) m_tray->hide();
    m_appProfiles.reset();  // before the session it switches through
    m_device.reset();       // reader stopped, channels closed, before the model goes
}

void MainWindow::initialise(bool showSplash) {
    readVersionFile();
    sizeFromBackground();
    createSliders();
    loadMacroFile();
    model::keyTable();  // built once, before anything looks a key up
    // keymap.bin is loaded before the session starts its read, so the keyboard's values win.
    loadKeymap();
    // The keyboard is read while the splash shows: the window appears with its configuration.
    // Its sync is handled when it comes; what a notice would ask or tell waits for present().
    const device::ConnectionState keyboard = openDeviceSession();
    m_appProfiles = std::make_unique<AppProfileSwitcher>(*this, m_context.appWatcher,
                                                         m_context.paths.dataFolder.toStdString(),
                                                         m_context.switchClock);
    if (showSplash) {
        skin::SplashScreen splash(m_context.paths.programFolder, languageCode());
        QTimer::singleShot(0, &splash, [this] { paintOffScreen(); });
        splash.exec();
    } else {
        paintOffScreen();
    }
    createTrayIcon();
    m_initialised = true;
    present(mainwindow::startupPresentation(keyboard, QSystemTrayIcon::isSystemTrayAvailable()));
    noticeDataFileTrouble();
    // Each from the event loop, as if its notice had come now.
    for (auto& f : std::exchange(m_afterPresent, {})) {
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
    }
}

void MainWindow::whenPresented(std::function<void()> f) {
    if (m_initialised) {
        f();
    } else {
        m_afterPresent.push_back(std::move(f));
    }
}

void MainWindow::present(const mainwindow::StartupPresentation& presentation) {
    if (presentation.showWindow && m_context.options.minimized) {
        hideToTray();  // --minimized: in the notification area, or minimised where there is none
    } else {
        setVisible(presentation.showWindow);
    }
    if (!presentation.notice) return;
    if (presentation.notice->en == mainwindow::text::kNoPermission.en) {
        showPermissionNotice();
        return;
    }
    // Not modal: start-up goes on, and the user may read it at leisure.
    const Language lang = m_context.language;
    const QString text = qs(*presentation.notice, lang);
    auto* box =
        new QMessageBox(QMessageBox::Information, qs(mainwindow::text::kNoticeCaption, lang), text,
                        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MainWindow::readVersionFile() {
    // Only the first bytes of a regular file: a FIFO or device must not hold up start-up.
    const auto text =
        readFilePrefix(m_context.paths.versionFile().toStdString(), appconfig::kVersionFileSize);
    if (!text) return;  // no VER.bin: 0.0, no update is ever offered
    m_packageVersion = appconfig::parseVersionFile(*text);
}

void MainWindow::sizeFromBackground() {
    if (!skin::fitWindowToImage(*this, m_skin, QStringLiteral("main.png"))) resize(kFallbackSize);
    setFixedSize(size());
    m_surfaceSize = size();
}

void MainWindow::loadMacroFile() {
    // A missing file is created with the empty store.
    const auto loaded = macro::loadMacroFile(*m_macros, m_context.paths.macroFile().toStdString());
    if (!loaded) {
        qCWarning(lcFiles) << "MacroDefine.bin:" << QString::fromStdString(loaded.error().context);
    }
}

void MainWindow::loadKeymap() {
    if (Status s = m_model->startup(); !s) {
        qCWarning(lcFiles) << "keymap.bin:" << QString::fromStdString(s.error().context);
    }
    // The sliders show the file's values until the keyboard's arrive; otherwise showing a
    // section would store the sliders' initial positions over them.
    setSlidersFromImage();
}

void MainWindow::showNormalAndRaise() {
    showNormal();
    raise();
    activateWindow();
}

std::uint8_t MainWindow::currentEffect() const {
    return m_model->withLock(
        [](const model::ConfigState& s) { return s.image[model::image::kEffect]; });
}

void MainWindow::release(QPoint pos) {
    auto guard = m_model->lock();
    const auto out = m_view.release({pos.x(), pos.y()}, guard->image);
    guard.unlock();
    runRelease(out);
    refresh();
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (e->buttons() & (Qt::LeftButton | Qt::RightButton)) dragStroke(pos);
    if (m_view.move({pos.x(), pos.y()}, currentEffect())) update();
}

void MainWindow::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::RightButton) endDiyStroke();
    if (e->button() != Qt::LeftButton) return;
    m_focusVisible = false;
    if (statusLineClicked(e->position().toPoint())) return;
    release(e->position().toPoint());
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    const int vk = messageVkFromQtKey(e->key(), e->modifiers(), e->nativeScanCode());
    if (!e->isAutoRepeat()) showKeyPress(vk);
    // Keyboard navigation goes first while its focus mark shows or a list is open (Enter clicks
    // the focused item, Esc closes the list); otherwise the DIY view's editing keys do.
    const bool navigating = m_focusVisible || m_view.state().anyOverlayOpen();
    if (navigating ? focusKey(e) || diyKeyPress(e) : diyKeyPress(e) || focusKey(e)) return;
    if (mainwindow::isFilteredKey(vk)) {
        e->accept();  // neither help nor closing the window
        return;
    }
    QWidget::keyPressEvent(e);
}

void MainWindow::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    if (m_view.clearHover()) update();
}

void MainWindow::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (m_view.clearHover()) update();
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // Closing through the window system is the Close command: the file keeps what the keyboard
    // has.
    QWidget::closeEvent(e);
    if (m_initialised) closeCommand();
}

QString MainWindow::keyTooltipAt(QPoint surfacePos) const {
    const auto slot = model::hitTestSlot({surfacePos.x(), surfacePos.y()});
    if (!slot) return {};
    const std::string text = m_model->withLock([this, &slot](const model::ConfigState& s) {
        return mainwindow::keyTooltip(s.image, s.actions, *m_macros, *slot, m_context.language);
    });
    return QString::fromStdString(text);
}

bool MainWindow::event(QEvent* e) {
    if (e->type() != QEvent::ToolTip) return QWidget::event(e);
    auto* help = static_cast<QHelpEvent*>(e);
    const mainwindow::FitPoint s =
        mainwindow::toSurface({help->pos().x(), help->pos().y()}, m_surfaceScale);
    const QString tip = keyTooltipAt(QPoint(s.x, s.y));
    if (tip.isEmpty()) {
        QToolTip::hideText();
        e->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

}  // namespace tavrik::app
