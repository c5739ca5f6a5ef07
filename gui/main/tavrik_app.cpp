#include "main/tavrik_app.h"

#include <QFontDatabase>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "accessibility/accessibility.h"
#include "appconfig/app_options.h"
#include "appwatch/active_app_watcher.h"
#include "build_info.h"
#include "host/control_jobs.h"
#include "host/instance_address.h"
#include "main/single_instance.h"
#include "mainwindow/startup.h"
#include "skin/app_style.h"
#include "windows/app_profile_switcher.h"
#include "windows/main_window.h"

namespace tavrik::app {

TavrikApp::TavrikApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tavrik-87rev"));
    setApplicationVersion(QStringLiteral(TAVRIK_VERSION));
    // Ties the windows to the installed desktop entry (task bar icon and name under Wayland).
    setDesktopFileName(QStringLiteral("tavrik-87rev"));
    setQuitOnLastWindowClosed(false);  // the window may hide behind the tray icon
    skin::applyDarkStyle(*this);
    a11y::installAccessibility();
}

TavrikApp::~TavrikApp() = default;

int TavrikApp::run() {
    std::vector<std::string> storage;
    for (const QString& a : arguments().mid(1)) storage.push_back(a.toStdString());
    const std::vector<std::string_view> args(storage.begin(), storage.end());
    auto options = appconfig::parseOptions(args);
    if (!options) {
        std::fprintf(stderr, "tavrik-87rev: %s\n%s", options.error().context.c_str(),
                     appconfig::usageText().data());
        return 2;
    }

    const auto place = instancePlace();
    if (!place) return cannotStart(QString::fromStdString(place.error().context));
    m_instance = std::make_unique<SingleInstance>(instanceName(), place->folder);
    switch (m_instance->claim()) {
        case SingleInstance::Claim::First:
            break;
        case SingleInstance::Claim::AnotherCopy:
            if (m_instance->askFirstToShow()) return 0;
            return cannotStart(
                QStringLiteral("a copy of the tool runs but does not answer; end "
                               "it and start the tool again"));
        case SingleInstance::Claim::Refused:
            return cannotStart(m_instance->refusal());
    }

    AppContext context;
    context.options = *options;
    const auto display = appconfig::displayLanguage(
        appconfig::chooseLanguage(*options, QLocale::system().name().toStdString()),
        chineseFontAvailable());
    context.language = display.language;
    context.paths = resolveAppPaths(*options);
    context.fitScreen = true;
    // Profiles follow the application in front where the session tells which one it is.
    const SessionEnvironment session = SessionEnvironment::fromProcess();
    context.watchSupport = watchSupport(session);
    m_watcher = createActiveAppWatcher(session);
    context.appWatcher = m_watcher.get();
    const AppPaths paths = context.paths;
    // Every window without an icon of its own (message boxes, choosers) shows the tool's.
    setWindowIcon(skin::appIcon(paths.programFolder));
    m_window = std::make_unique<MainWindow>(std::move(context));
    connect(m_instance.get(), &SingleInstance::showRequested, m_window.get(),
            &MainWindow::showNormalAndRaise);
    connect(
        m_window.get(), &MainWindow::ended, this, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    m_window->initialise();
    // Started once the window follows it: the application in front is reported soon after;
    // a session that refuses says why through the watcher's unavailable(), which is logged.
    if (m_watcher) m_watcher->start();
    serveControlRequests(paths);
    if (display.fellBack) tellNoChineseFont();
    return exec();
}

int TavrikApp::cannotStart(const QString& why) {
    std::fprintf(stderr, "tavrik-87rev: cannot start: %s\n", why.toUtf8().constData());
    // Without a screen nobody would see a box (and nobody could close it).
    const QString platform = platformName();
    if (platform != QLatin1StringView("offscreen") && platform != QLatin1StringView("minimal")) {
        QMessageBox::critical(nullptr, QStringLiteral("Tavrik 87Rev"),
                              QStringLiteral("The tool cannot start: %1.").arg(why));
    }
    return 1;
}

bool TavrikApp::chineseFontAvailable() {
    // A family that declares Chinese and really has the glyphs of the window's texts.
    const QString probe = QString::fromUtf8("配置中文");
    for (const QString& family : QFontDatabase::families(QFontDatabase::SimplifiedChinese)) {
        const QFontMetrics metrics{QFont(family)};
        bool all = true;
        for (const QChar c : probe) all = all && metrics.inFont(c);
        if (all) return true;
    }
    return false;
}

void TavrikApp::tellNoChineseFont() {
    const QString text = QString::fromUtf8(appconfig::kNoChineseFontNotice.en.data(),
                                           qsizetype(appconfig::kNoChineseFontNotice.en.size())) +
                         QStringLiteral("\n\n") +
                         QString::fromUtf8(appconfig::kNoChineseFontNotice.zh.data(),
                                           qsizetype(appconfig::kNoChineseFontNotice.zh.size()));
    std::fprintf(stderr, "tavrik-87rev: %s\n", text.toUtf8().constData());
    // Once, and without holding up the start: the box does not block the event loop.
    QTimer::singleShot(0, m_window.get(), [window = m_window.get(), text] {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("Tavrik 87Rev"), text,
                                    QMessageBox::Ok, window);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    });
}

void TavrikApp::serveControlRequests(const AppPaths& paths) {
    HostAccess access;
    access.model = &m_window->configModel();
    access.macros = &m_window->macroStore();
    access.link = m_window->deviceLink();
    access.macroFile = paths.macroFile().toStdString();
    access.dataFolder = paths.dataFolder;
    // A dialog of the window works on the configuration until it closes.
    access.canEdit = [] { return QApplication::activeModalWidget() == nullptr; };
    access.edited = [window = m_window.get()] { window->hostCopyReplaced(); };
    // The window's Save end turns the wait cursor off again.
    access.saveStarted = [window = m_window.get()] { window->setBusy(true); };
    // tavrikctl's rules are the window's: it follows them at once.
    if (AppProfileSwitcher* apps = m_window->appProfiles()) {
        access.appRules = &apps->rules();
        access.rulesEdited = [apps] { apps->rulesChanged(); };
    }
    m_control = std::make_unique<ControlJobs>(std::move(access));
    m_instance->server().setRequestHandler([this](const QJsonObject& request,
                                                  InstanceServer::Answer answer,
                                                  InstanceServer::Wanted wanted) {
        m_control->run(request, std::move(answer), std::move(wanted));
    });
}

}  // namespace tavrik::app
