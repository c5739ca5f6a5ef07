#pragma once
// MainWindow: the tool's borderless, fully skinned main window. It draws the keyboard
// picture and the settings panel, turns mouse positions into commands through
// mainwindow::MainView, owns the configuration model, and drives the device session, the tray
// icon and the firmware update check.

#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "appconfig/app_options.h"
#include "appconfig/file_notice.h"
#include "appconfig/update_check.h"
#include "appwatch/active_app_watcher.h"
#include "common/language.h"
#include "controls/bitmap_slider.h"
#include "host/device_link.h"
#include "launcher/desktop_launcher.h"
#include "macro/clock.h"
#include "macro/macro_layout.h"
#include "mainwindow/access_tree.h"
#include "mainwindow/edit_state.h"
#include "mainwindow/main_view.h"
#include "mainwindow/panel_scene.h"
#include "mainwindow/startup.h"
#include "mainwindow/surface_layout.h"
#include "model/config_model.h"
#include "settings/sliders.h"
#include "skin/skin_images.h"
#include "windows/app_paths.h"
#include "windows/lighting_preview.h"
#include "windows/lit_keys.h"

class QMenu;

namespace tavrik::skin {
class SurfaceScaler;
}

namespace tavrik::app {

// Everything the window needs to know about how the tool was started.
struct AppContext {
    appconfig::Options options;
    Language language = Language::English;
    AppPaths paths;
    DeviceSetup device;  // how the keyboard is reached (tests inject an emulator)
    // The counter the macro manager measures recorded delays with; the steady clock when null.
    // Tests inject one they advance by hand; it must outlive the window.
    const macro::Clock* macroClock = nullptr;
    // Scale the window down to its screen's available area when it is larger (the program
    // does; tests and tools that click at surface points leave it off).
    bool fitScreen = false;
    // Profiles that follow the application in front: the watcher (null: none; it must outlive
    // the window), why the session has none, and the clock of the settle time (the steady
    // clock when empty; tests move their own).
    ActiveAppWatcher* appWatcher = nullptr;
    WatchSupport watchSupport = WatchSupport::Supported;
    std::function<std::chrono::steady_clock::time_point()> switchClock;
};

class AppProfileSwitcher;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(AppContext context, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs the start-up sequence (files, sliders, device session, splash, tray, keymap.bin);
    // the keyboard is read while the splash shows. showSplash = false skips the splash (tests,
    // benchmarks).
    void initialise(bool showSplash = true);

    // Shows the window in its normal state and brings it to the front (second start, tray).
    void showNormalAndRaise();
    // A double click on the tray icon: the window, or (queued) the no-keyboard balloon.
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    // The tray icon's menu: show the window, profiles, autostart, exit.
    QMenu* trayMenu() const { return m_trayMenu.get(); }
    // The tooltip over the keyboard picture at a surface position: the key and its function;
    // empty away from the keys.
    QString keyTooltipAt(QPoint surfacePos) const;

    // Renders the whole surface into an image the size of the background (screenshots, tests).
    QImage renderSurface();

    // The factor the surface is drawn at to fit the screen (1 when it fits; main_window_fit.cpp).
    double surfaceScale() const { return m_surfaceScale; }
    void fitToScreen();

    const mainwindow::ViewState& viewState() const { return m_view.state(); }
    model::ConfigModel& configModel() { return *m_model; }
    macro::MacroStore& macroStore() { return *m_macros; }
    // The device session; null before initialise().
    DeviceLink* deviceLink() { return m_device.get(); }
    Language language() const { return m_context.language; }
    // What the bottom bar's status line shows.
    device::ConnectionState connectionState() const;
    // The edit state beside it: edits not yet sent, or a Save that has just reached the keyboard.
    mainwindow::EditMark editMark() const;
    const mainwindow::SaveConfirmation& saveConfirmation() const { return m_saveConfirmation; }
    // The no-permission notice: why the keyboard cannot be used and the command that fixes it.
    QString permissionNoticeText() const;
    // The wait cursor while a device job runs: on when a Save is queued, off when it has ended.
    void setBusy(bool busy);
    // The configuration in memory was replaced outside a device job (the profile window,
    // tavrikctl): the window refreshes from it, or (while the profile window runs) asks the session
    // to bring the host copy in line first.
    void hostCopyReplaced();

    // Keyboard use and assistive technology (main_window_focus.cpp). How a painted item stands
    // now; activating it runs the clicks at its centre (queued by assistive technology, since a
    // click may open a modal dialog). The focus item is the painted item with the keyboard focus.
    mainwindow::access::Item describeItem(mainwindow::access::ItemId id) const;
    void activateItem(mainwindow::access::ItemId id);
    std::optional<mainwindow::access::ItemId> focusItem() const { return m_focusItem; }
    void setFocusItem(mainwindow::access::ItemId id);
    BitmapSlider* sliderWidget(settings::SliderId id) const { return slider(id); }
    // The keyboard picture's lighting preview (main_window_paint.cpp): its clock, and whether
    // its frame timer runs (only while the window is on screen and the effect moves).
    LightingPreview& lightingPreview() { return m_preview; }
    bool lightingPreviewRunning() const { return m_preview.running(); }
    // Profiles that follow the application in front; null before initialise().
    AppProfileSwitcher* appProfiles() const { return m_appProfiles.get(); }

signals:
    // The window has ended the program (Close, the tray's Exit): the application quits.
    void ended();
    // What the painted items show may have changed; the focus moved between painted items.
    void surfaceChanged();
    void focusItemChanged();

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void changeEvent(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool event(QEvent* e) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Keyboard focus over the painted items and the sliders (main_window_focus.cpp).
    struct FocusStop {
        std::optional<mainwindow::access::ItemId> item;
        BitmapSlider* slider = nullptr;
    };
    std::vector<FocusStop> focusRing() const;
    void goToStop(const FocusStop& stop, bool forward);
    bool focusKey(QKeyEvent* e);
    void activateFocusItem();
    void paintFocusMark(QPainter& p);

    // Start-up steps.
    void readVersionFile();
    void sizeFromBackground();
    void createSliders();
    void loadMacroFile();
    void createTrayIcon();
    void loadKeymap();
    void present(const mainwindow::StartupPresentation& presentation);
    // A data file the tool leaves alone is told once (main_window_file_notice.cpp).
    void noticeDataFileTrouble();
    void noticeFileTrouble(const QString& file);

    // Input.
    std::uint8_t currentEffect() const;
    void release(QPoint pos);
    void runRelease(const mainwindow::ReleaseOutcome& out);
    void runCommand(const mainwindow::HitCommand& c);
    void runHelpRow(int row);
    void assignKey(int slot);

    // Commands.
    void closeCommand();
    void macrosCommand();
    void profileCommand();
    void factoryResetCommand();
    void cancelCommand();
    void saveCommand();
    void saveKeymap();
    void hideToTray();
    void chooseColourCommand();

    // Device session and its messages.
    device::ConnectionState openDeviceSession();
    bool keyboardConnected() const;
    void deviceSynced(device::SyncReason reason);
    void deviceEvent(std::uint8_t code);
    void jobFinished(device::Job job, const Status& status);
    void tellJobFailure(device::Job job, const Status& status);
    // Runs f now once the window has presented itself after start-up, else right after that:
    // a question or message due while the splash shows comes over the window, not the splash.
    void whenPresented(std::function<void()> f);
    void tell(const BiText& caption, const BiText& text);
    void tell(const BiText& caption, const QString& text);
    void tell(const BiText& caption, const BiText& text, const QString& arg);  // text has %1
    void sliderMoved(int id);
    void setSlidersFromImage();
    // A shown slider's position is its byte's value: stored whenever a slider moves, is set or
    // may have been shown or hidden (the panel or the image changed), never while painting.
    void storeShownSliders();
    // After a change of the configuration or the panel: store the shown sliders, then repaint.
    void refresh();

    // Tray and update check.
    void showNoKeyboardBalloon();
    void checkFirmwareUpdate();
    void askFirmwareUpdate();
    void startUpdater();

    // Desktop side (main_window_status.cpp): status line, permission notice, autostart, help rows.
    void paintStatusLine(QPainter& p);
    bool statusLineClicked(QPoint pos);
    void showPermissionNotice();
    void addAutostartAction(QMenu& menu);
    void setStartWithSession(bool on);
    void paintAutostartRow(QPainter& p);
    QString homePageShown() const;
    void openHomePage();
    bool updaterInstalled();

    // Painting (main_window_paint.cpp, main_window_panel.cpp).
    // Paints the surface once into an image: the skin's pictures are decoded before the window
    // is shown, so its first frame on screen costs what any other frame costs.
    void paintOffScreen();
    void paintSurface(QPainter& p);
    void paintTitleAndKeyboard(QPainter& p);
    void paintKeyView(QPainter& p);
    void paintKeyboard(QPainter& p);
    void paintPreviewCaption(QPainter& p);
    void paintHoverOutline(QPainter& p, int slot);
    void copyShownState();
    void followPreview();
    void showKeyPress(int keyCode);  // a key the tool saw pressed, for the preview
    QRect keyboardArea();
    QRect shownKeyboardArea();  // keyboardArea() in window pixels, at the fitting scale
    void paintDiyView(QPainter& p);
    void paintDiyControls(QPainter& p);
    // DIY editing (main_window_diy.cpp): strokes, the selection's outline, the editing keys.
    void dragStroke(QPoint pos);
    void endDiyStroke();
    void paintDiySelection(QPainter& p);
    bool diyKeyPress(QKeyEvent* e);
    void paintBottomRow(QPainter& p);
    void paintPanel(QPainter& p);
    void paintLightingSection(QPainter& p);
    void paintLightingBody(QPainter& p, int bottom);
    void paintDirectionRow(QPainter& p);
    void paintGameSection(QPainter& p, int top);
    void paintResponseAndReport(QPainter& p, const mainwindow::PanelLayout& layout);
    void paintEffectList(QPainter& p);
    void paintResponseList(QPainter& p, int top);
    void paintHelpBox(QPainter& p);
    BitmapSlider* slider(settings::SliderId id) const;
    static QPoint sliderPlace(settings::SliderId id, const mainwindow::PanelLayout& layout);
    QString effectName(std::uint8_t effect) const;
    void drawSkin(QPainter& p, const QString& name, int x, int y);
    void drawSkin(QPainter& p, const QString& name, model::Point at);
    void drawText(QPainter& p, const BiText& t, int x, int y, int height);
    void drawText(QPainter& p, const BiText& t, const mainwindow::surface::TextSpot& spot);
    void drawText(QPainter& p, const QString& t, int x, int y, int height,
                  const QColor& colour = Qt::white);
    void drawRadio(QPainter& p, bool selected, model::Point at);
    void drawPanelText(QPainter& p, const mainwindow::PanelText& t);
    int languageCode() const;

    AppContext m_context;
    std::unique_ptr<model::ConfigModel> m_model;
    std::unique_ptr<macro::MacroStore> m_macros;
    std::unique_ptr<DeviceLink> m_device;  // closed before the model goes
    mainwindow::MainView m_view;
    model::Image m_shownImage{};  // configuration as last painted
    std::array<std::uint8_t, model::kKeyActionCount> m_shownChanged{};
    appconfig::Version m_packageVersion;
    appconfig::FileNotices m_fileNotices;
    skin::SkinImages m_skin;
    std::array<QPointer<BitmapSlider>, settings::kSliderCount> m_sliders;  // by sliderIndex
    settings::SliderMemory m_sliderMemory;
    mainwindow::PanelLayout m_panelLayout{};                      // the panel as last painted
    std::array<QPoint, settings::kSliderCount> m_sliderPlaces{};  // where each slider was put
    DesktopLauncher m_launcher;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<QMenu> m_trayMenu;
    QPointer<QMessageBox> m_permissionBox;  // the no-permission notice while it is open
    bool m_busy = false;
    bool m_askingUpdate = false;    // the update question is open
    bool m_askUpdateAgain = false;  // another read ended while it was open
    bool m_initialised = false;
    std::vector<std::function<void()>> m_afterPresent;  // due before start-up presented
    bool m_inProfileWindow = false;
    std::optional<mainwindow::access::ItemId> m_focusItem;
    bool m_focusVisible = false;  // keyboard use shows the mark; a click hides it
    LightingPreview m_preview;
    LitKeyPainter m_litKeys;
    // Scale-to-fit: the surface's size at scale 1, the factor, and what turns mouse positions
    // into surface pixels.
    QSize m_surfaceSize;
    double m_surfaceScale = 1.0;
    skin::SurfaceScaler* m_scaler = nullptr;
    bool m_watchingScreen = false;
    // Profiles per application (app_profile_switcher.cpp, the tray menu, the status line).
    std::unique_ptr<AppProfileSwitcher> m_appProfiles;
    void addProfileActions(QMenu& menu);
    QString statusLineProfileText() const;
    void noticeAppRulesTrouble();
    // The confirmation after a Save reached the keyboard, and the repaint when it ends.
    mainwindow::SaveConfirmation m_saveConfirmation;
    QTimer* m_saveConfirmationEnd = nullptr;
    void saveEnded(bool reachedKeyboard);
};

}  // namespace tavrik::app
