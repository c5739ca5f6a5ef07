#pragma once
// A host over the emulated keyboard in-process (paced by a virtual clock) and a temporary data
// folder, with every report the keyboard receives recorded; control requests run through the
// same ControlJobs as in the tool and in tavrikctl.

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <mutex>
#include <vector>

#include "host/control_jobs.h"
#include "host/device_link.h"
#include "macro/macro_store.h"
#include "model/key_table.h"
#include "sim/firmware.h"

namespace tavrik::ctl::test_support {

// A control request as tavrikctl sends it: the command, and for "set" its arguments.
inline QJsonObject request(const char* command) {
    return QJsonObject{{QStringLiteral("command"), QString::fromLatin1(command)}};
}

inline QJsonObject setRequest(const QStringList& args) {
    QJsonObject r = request("set");
    r.insert(QStringLiteral("args"), QJsonArray::fromStringList(args));
    return r;
}

inline QCoreApplication& qtApp() {
    static int argc = 1;
    static char name[] = "ctl_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QCoreApplication(argc, argv);
    return *app;
}

struct Report {
    sim::ReportKind kind;
    std::vector<std::uint8_t> bytes;
    bool operator==(const Report&) const = default;
};

class Host {
public:
    explicit Host(const QString& dataFolder, std::shared_ptr<sim::Firmware> firmware = nullptr) {
        qtApp();
        model::keyTable();
        const QDir dir(dataFolder);
        m_pacer = std::make_shared<device::RecordingPacer>();
        m_pacer->setKeepLog(false);
        m_firmware = firmware
                         ? firmware
                         : std::make_shared<sim::Firmware>([p = m_pacer] { return p->elapsed(); });
        m_firmware->setTrace(
            [this](sim::Direction d, sim::ReportKind k, std::span<const std::uint8_t> bytes) {
                if (d != sim::Direction::HostToKeyboard) return;
                std::lock_guard<std::mutex> guard(m_traceMutex);
                m_received.push_back({k, {bytes.begin(), bytes.end()}});
            });
        model = std::make_unique<model::ConfigModel>(dir.filePath("keymap.bin").toStdString());
        macros = std::make_unique<macro::MacroStore>();
        [[maybe_unused]] Status s = model->startup();
        appconfig::Options options;
        options.simulate = true;
        link = std::make_unique<app::DeviceLink>(options, app::DeviceSetup{m_firmware, m_pacer},
                                                 *model);
        link->open();
        link->session().waitIdle();
        app::HostAccess access;
        access.model = model.get();
        access.macros = macros.get();
        access.link = link.get();
        access.macroFile = dir.filePath("MacroDefine.bin").toStdString();
        access.dataFolder = dataFolder;
        jobs = std::make_unique<app::ControlJobs>(std::move(access));
        takeReceived();  // the start-up read
    }
    ~Host() {
        jobs.reset();
        link.reset();
    }

    QJsonObject run(const QJsonObject& request) {
        QJsonObject answer;
        bool answered = false;
        QEventLoop loop;
        jobs->run(request, [&](const QJsonObject& r) {
            answer = r;
            answered = true;
            loop.quit();
        });
        if (!answered) loop.exec();
        link->session().waitIdle();
        return answer;
    }

    std::vector<Report> takeReceived() {
        std::lock_guard<std::mutex> guard(m_traceMutex);
        return std::exchange(m_received, {});
    }
    sim::Firmware& firmware() { return *m_firmware; }

    std::unique_ptr<model::ConfigModel> model;
    std::unique_ptr<macro::MacroStore> macros;
    std::unique_ptr<app::DeviceLink> link;
    std::unique_ptr<app::ControlJobs> jobs;

private:
    std::shared_ptr<device::RecordingPacer> m_pacer;
    std::shared_ptr<sim::Firmware> m_firmware;
    std::mutex m_traceMutex;
    std::vector<Report> m_received;
};

}  // namespace tavrik::ctl::test_support
