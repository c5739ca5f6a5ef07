#include "common/result.h"

namespace tavrik {

const char* errorKindName(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Device:
            return "device";
        case ErrorKind::Value:
            return "value";
        case ErrorKind::System:
            return "system";
        case ErrorKind::NotConnected:
            return "not connected";
        case ErrorKind::NoPermission:
            return "no permission";
        case ErrorKind::Unplugged:
            return "unplugged";
        case ErrorKind::NoAcknowledgement:
            return "no acknowledgement";
    }
    return "unknown";
}

}  // namespace tavrik
