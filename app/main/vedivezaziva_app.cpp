#include "main/vedivezaziva_app.h"

#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <cstdio>
#include <string>
#include <vector>

#include "main/single_instance.h"
#include "mainwindow/app_options.h"
#include "mainwindow/startup.h"
#include "skin/app_style.h"
#include "windows/main_window.h"

namespace tavrik::app {
namespace {

// A fixed identifier, the same for every run of the tool.
const QString kInstanceName = QStringLiteral("tavrik-87rev-{5B0F4E1C-8A6D-4C2B-9E37-1D84A0C6F2B9}");

QString runtimeFolder() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    return folder;
}

}  // namespace

CVediVezazivaApp::CVediVezazivaApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tavrik-87rev"));
    setQuitOnLastWindowClosed(false);  // the window may hide behind the tray icon
    skin::applyDarkStyle(*this);
}

CVediVezazivaApp::~CVediVezazivaApp() = default;

int CVediVezazivaApp::run() {
    std::vector<std::string> storage;
    for (const QString& a : arguments().mid(1)) storage.push_back(a.toStdString());
    const std::vector<std::string_view> args(storage.begin(), storage.end());
    auto options = mainwindow::parseOptions(args);
    if (!options) {
        std::fprintf(stderr, "tavrik-87rev: %s\n%s", options.error().context.c_str(),
                     mainwindow::usageText().data());
        return 2;
    }

    m_instance = std::make_unique<SingleInstance>(kInstanceName, runtimeFolder());
    if (!m_instance->claim()) {
        m_instance->askFirstToShow();
        return 0;
    }

    AppContext context;
    context.options = *options;
    context.language = mainwindow::chooseLanguage(*options, QLocale::system().name().toStdString());
    context.paths = resolveAppPaths(*options);
    m_window = std::make_unique<CVediVezazivaDlg>(std::move(context));
    connect(m_instance.get(), &SingleInstance::showRequested, m_window.get(),
            &CVediVezazivaDlg::showNormalAndRaise);
    connect(
        m_window.get(), &CVediVezazivaDlg::ended, this, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    m_window->initialise();
    return exec();
}

}  // namespace tavrik::app
