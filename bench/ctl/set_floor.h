#pragma once
// The keyboard's own pauses of a `set effect NAME`, measured by running tavrikctl's own session
// in-process over the same socket: the opening read, then the edit and its Save.

#include <QEvent>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "describe/set_command.h"
#include "floor_pacer.h"
#include "host/device_link.h"
#include "macro/macro_store.h"
#include "model/key_table.h"

namespace tavrik::bench {

struct SetFloor {
    double openingMs = 0;  // the session's opening read
    double saveMs = 0;     // the Save of the change
};

// Takes the session's notices and drops them: the benchmark waits on the session instead.
class IgnoreEvents final : public QObject {
public:
    bool event(QEvent*) override { return true; }
};

inline SetFloor setEffectFloor(const QString& socket, const char* effect) {
    QTemporaryDir dir;
    model::keyTable();
    auto pacer = std::make_shared<FloorPacer>();
    model::ConfigModel model(dir.filePath("keymap.bin").toStdString());
    [[maybe_unused]] Status s = model.startup(model::ConfigModel::FileWrites::None);
    IgnoreEvents ignore;
    appconfig::Options options;
    options.simSocket = socket.toStdString();
    app::DeviceSetup setup{nullptr, pacer};
    setup.opening = device::OpeningRead::Inspect;
    app::DeviceLink link(options, setup, model, &ignore);
    link.open();
    link.session().waitIdle();
    SetFloor floor;
    floor.openingMs = pacer->floorMs();
    const macro::MacroStore none{};
    model.withLock([&](model::ConfigState& state) {
        const std::vector<std::string> args{"effect", effect};
        [[maybe_unused]] Status set = describe::applySetCommand(state, none, args);
        model::recomputeChangedKeys(state);
    });
    link.session().save();
    link.session().waitIdle();
    floor.saveMs = pacer->floorMs() - floor.openingMs;
    return floor;
}

}  // namespace tavrik::bench
