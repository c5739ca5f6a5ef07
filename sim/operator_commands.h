#pragma once
// The operator commands of the emulated keyboards (tavrik-kbsim and tavrik-usbgadget), one a
// line on standard input:
//     press <slot>      press and report a key programmed as a host action
//     unplug | plug     remove or attach the keyboard
//     dump              print the firmware state
//     version <major> <minor>
//     fault <none|noack|noreply|garbage|remove <packets>>
//     quit

#include <iosfwd>
#include <string>

#include "sim/firmware.h"

namespace tavrik::sim {

// The operator commands, one a line, as --help and a refused command list them.
inline constexpr const char* kOperatorHelp =
    "commands (one a line on standard input):\n"
    "  press <slot>                   press the key of slot 0..112 (reported when it is a host "
    "action)\n"
    "  unplug | plug                  remove or attach the keyboard\n"
    "  dump                           print the firmware state\n"
    "  version <major> <minor>        set the firmware version (0..255 each)\n"
    "  fault none|noack|noreply|garbage|badsum|remove <packets>\n"
    "                                 inject a fault (remove: unplug after that many data "
    "packets)\n"
    "  quit                           end the emulator\n";

// Applies one operator command to the firmware and writes its answer to `out`; false for
// "quit". Unplug and plug reach the transport through the firmware's plug listener.
bool runOperatorCommand(Firmware& firmware, const std::string& line, std::ostream& out);

}  // namespace tavrik::sim
