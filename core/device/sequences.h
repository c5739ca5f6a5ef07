#pragma once
// The long device sequences: the read of the whole image (at start-up and plain) and write-all
// with its acknowledgement handshake. They run on the calling thread (the device worker) with
// the configuration lock held by the caller.

#include "common/result.h"
#include "device/command_set.h"
#include "model/config_state.h"

namespace tavrik::device {

enum class ReadMode {
    Startup,  // reads the firmware version and yields after each macro slot
    Plain,    // 10 ms after the opening 0x09, no version, no yields
    // Changes nothing on the keyboard: no opening 0x09 (it would turn game mode on before game
    // mode is read), the firmware version when asked for, no yields. For tavrikctl's reads.
    Inspect,
};

// 0x09 with 1 (not when inspecting); the firmware version (Startup, and Inspect when `version` is
// given; stored into *version); lighting,
// colour entries, game mode, report rate, response time; key code area, key enable bitmap (and
// Win lock), macro slots 0..31, DIY tables 0..4. Stops at the first failed exchange; what was
// read until then stays in the image. Does not touch the last-synchronised copies.
Status readAll(Link link, model::Image& image, ReadMode mode, FirmwareVersion* version = nullptr);

// DIY colour tables 0..4 once more (the arrival sequence reads them twice).
Status readDiyTables(Link link, model::Image& image);

// What write-all needs from the event side: the acknowledgement flag.
class AckWait {
public:
    virtual ~AckWait() = default;
    virtual void clear() = 0;
    // Waits for the acknowledgement with the session's bound; an error on time-out or when no
    // acknowledgement can arrive (event channel closed).
    virtual Status wait() = 0;
};

// Write-all: folds Win lock, compares `image` with `synced` unit by unit and sends the changed
// units, each followed by an acknowledgement wait; sub-command 1 of 0x08 goes first when
// anything but the lighting changed, sub-command 2 always last. On success `synced` becomes a
// copy of `image`; on any failure (a report not sent, an acknowledgement not received) the
// sequence stops and `synced` stays as it was, so the next write-all sends the same units again.
// Nothing is sent when nothing changed.
Status writeAll(Link link, model::Image& image, model::Image& synced, AckWait& ack);

}  // namespace tavrik::device
