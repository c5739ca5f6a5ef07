#include "mainwindow/job_messages.h"

#include "device/session_texts.h"
#include "mainwindow/texts.h"

namespace tavrik::mainwindow {
namespace {

JobNotice saveNotice(ErrorKind kind) {
    const BiText caption = device::kSaveFailedCaption;
    switch (kind) {
        case ErrorKind::NotConnected:
            return {caption, text::kSaveNoKeyboard};
        case ErrorKind::NoPermission:
            return {caption, text::kNoPermission, NoticeFill::UdevCommand};
        case ErrorKind::Unplugged:
            return {caption, device::kSaveUnpluggedText};
        case ErrorKind::NoAcknowledgement:
            return {caption, device::kSaveNoAcknowledgementText};
        case ErrorKind::System:
            return {caption, device::kSettingsNotStoredText, NoticeFill::ErrorContext};
        case ErrorKind::Device:
        case ErrorKind::Value:
            break;
    }
    return {caption, device::kSaveFailedText};
}

JobNotice resetNotice(ErrorKind kind) {
    const BiText caption = text::kFactoryCaption;
    switch (kind) {
        case ErrorKind::NotConnected:
            return {caption, text::kResetNoKeyboard};
        case ErrorKind::NoPermission:
            return {caption, text::kNoPermission, NoticeFill::UdevCommand};
        case ErrorKind::System:
            return {caption, device::kSettingsNotStoredText, NoticeFill::ErrorContext};
        case ErrorKind::Device:
        case ErrorKind::Value:
        case ErrorKind::Unplugged:
        case ErrorKind::NoAcknowledgement:
            break;
    }
    return {caption, device::kResetFailedText};
}

}  // namespace

std::optional<JobNotice> jobFailureNotice(device::Job job, ErrorKind kind) {
    switch (job) {
        case device::Job::Save:
            return saveNotice(kind);
        case device::Job::FactoryReset:
            return resetNotice(kind);
        case device::Job::FactoryReadBack:
            return JobNotice{text::kFactoryCaption, device::kReadBackFailedText};
        case device::Job::StartupRead:
        case device::Job::Arrival:
            return JobNotice{text::kNoticeCaption, device::kReadFailedText};
        case device::Job::Open:
        case device::Job::ProfileRefresh:
        case device::Job::ReadCopy:
        case device::Job::Removal:
        case device::Job::Close:
            break;
    }
    return std::nullopt;
}

}  // namespace tavrik::mainwindow
