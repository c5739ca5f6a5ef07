// The shipped KWin script itself, run in a JavaScript engine of the kind KWin uses, against a
// fake workspace: what it sends for each thing KWin tells it, on Plasma 6's and Plasma 5's
// scripting API.
#include <gtest/gtest.h>

#include <QFile>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>

#include "appwatch/kwin_watcher.h"

namespace tavrik::app {
namespace {

// callDBus records; a signal is a list of handlers; windows carry the properties the script
// reads. bytes() makes the ArrayBuffer that Plasma 5 gives for a byte array.
constexpr const char* kFakeKWin = R"(
var calls = [];
function callDBus() { calls.push(Array.prototype.slice.call(arguments)); }
function Signal() { this.handlers = []; }
Signal.prototype.connect = function (f) { this.handlers.push(f); };
Signal.prototype.emit = function (w) {
    for (var i = 0; i < this.handlers.length; ++i) this.handlers[i](w);
};
function bytes(s) {
    var b = new Uint8Array(s.length);
    for (var i = 0; i < s.length; ++i) b[i] = s.charCodeAt(i);
    return b.buffer;
}
function win(cls, name, kind) {
    return {resourceClass: cls, resourceName: name, normalWindow: kind === "normal",
            dialog: kind === "dialog", desktopWindow: kind === "desktop", dock: kind === "dock"};
}
)";

class KWinScript : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(eval(kFakeKWin).isError());
        QFile file(QString::fromLatin1(KWinWatcher::kScriptResource));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        m_script = QString::fromUtf8(file.readAll());
    }
    QJSValue eval(const QString& code) {
        QJSValue v = m_engine.evaluate(code);
        EXPECT_FALSE(v.isError()) << v.toString().toStdString();
        return v;
    }
    void runScript() {
        const QJSValue v = m_engine.evaluate(m_script, QStringLiteral("active_app.js"));
        ASSERT_FALSE(v.isError()) << v.property("lineNumber").toInt() << ": "
                                  << v.toString().toStdString();
    }
    // The calls since the last look: method and arguments, after checking where each went.
    std::vector<std::vector<std::string>> calls() {
        const QJsonArray all =
            QJsonDocument::fromJson(eval("JSON.stringify(calls)").toString().toUtf8()).array();
        eval("calls = []");
        std::vector<std::vector<std::string>> out;
        for (const auto& call : all) {
            const QJsonArray args = call.toArray();
            EXPECT_EQ(args.at(0).toString(), KWinWatcher::kService);
            EXPECT_EQ(args.at(1).toString(), KWinWatcher::kPath);
            EXPECT_EQ(args.at(2).toString(), KWinWatcher::kService);  // the interface's name
            std::vector<std::string> rest;
            for (qsizetype i = 3; i < args.size(); ++i) {
                rest.push_back(args.at(i).toString().toStdString());
            }
            out.push_back(rest);
        }
        return out;
    }
    using Calls = std::vector<std::vector<std::string>>;

    QJSEngine m_engine;
    QString m_script;
};

TEST_F(KWinScript, ReportsTheActiveAndTheOpenWindowsOnPlasma6) {
    eval(R"(
        var konsole = win("org.kde.konsole", "konsole", "normal");
        var desktop = win("plasmashell", "plasmashell", "desktop");
        var panel = win("plasmashell", "plasmashell", "dock");
        var windows = [konsole, desktop, panel];
        var workspace = {windowList: function () { return windows; }, activeWindow: konsole,
                         windowActivated: new Signal(), windowAdded: new Signal(),
                         windowRemoved: new Signal()};
    )");
    runScript();
    EXPECT_EQ(calls(), (Calls{{"activeWindowChanged", "org.kde.konsole", "konsole"},
                              {"openWindowsChanged", "org.kde.konsole"}}));

    eval("workspace.windowActivated.emit(desktop)");
    eval("workspace.windowActivated.emit(null)");
    eval(R"(var firefox = win("firefox", "Navigator", "normal"); windows.push(firefox);
            workspace.windowAdded.emit(firefox); workspace.windowActivated.emit(firefox))");
    EXPECT_EQ(calls(), (Calls{{"activeWindowChanged", "", ""},
                              {"activeWindowChanged", "", ""},
                              {"openWindowsChanged", "org.kde.konsole\nfirefox"},
                              {"activeWindowChanged", "firefox", "Navigator"}}));

    // KWin tells of a removed window while it is still in its list.
    eval(R"(var dialog = win("org.kde.dolphin", "dolphin", "dialog"); windows.push(dialog);
            workspace.windowActivated.emit(dialog); workspace.windowRemoved.emit(konsole))");
    EXPECT_EQ(calls(), (Calls{{"activeWindowChanged", "org.kde.dolphin", "dolphin"},
                              {"openWindowsChanged", "firefox\norg.kde.dolphin"}}));
}

TEST_F(KWinScript, ReadsPlasma5sByteArrays) {
    eval(R"(
        var term = win(bytes("xterm"), bytes("XTerm"), "normal");
        var clients = [term];
        var workspace = {clientList: function () { return clients; }, activeClient: null,
                         clientActivated: new Signal(), clientAdded: new Signal(),
                         clientRemoved: new Signal()};
    )");
    runScript();
    eval("workspace.clientActivated.emit(term); workspace.clientRemoved.emit(term)");
    EXPECT_EQ(calls(), (Calls{{"activeWindowChanged", "", ""},
                              {"openWindowsChanged", "xterm"},
                              {"activeWindowChanged", "xterm", "XTerm"},
                              {"openWindowsChanged", ""}}));
}

}  // namespace
}  // namespace tavrik::app
