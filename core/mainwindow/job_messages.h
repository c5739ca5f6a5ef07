#pragma once
// Which message a failed device job gives the user, by the job and the kind of its error.

#include <optional>

#include "common/language.h"
#include "common/result.h"
#include "device/session_listener.h"

namespace tavrik::mainwindow {

// What replaces %1 in a notice's text.
enum class NoticeFill {
    None,
    ErrorContext,  // the error's context (which file and why)
    UdevCommand,   // the command that installs the udev rule
};

struct JobNotice {
    BiText caption;
    BiText text;
    NoticeFill fill = NoticeFill::None;
};

// The message for a failed job; nothing for jobs whose failure is not told (removal, close,
// profile refresh, the opening at start-up, which is told by the start-up presentation).
std::optional<JobNotice> jobFailureNotice(device::Job job, ErrorKind kind);

}  // namespace tavrik::mainwindow
