#include "common/result.h"

namespace tavrik {

const char* errorKindName(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Device: return "device";
        case ErrorKind::Value: return "value";
        case ErrorKind::System: return "system";
    }
    return "unknown";
}

}  // namespace tavrik
