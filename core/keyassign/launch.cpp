#include "keyassign/launch.h"

#include <filesystem>

#include "common/utf16.h"
#include "keyassign/assignment.h"

namespace tavrik::keyassign {
namespace {

LaunchKind launchKindOf(std::uint8_t k) {
    switch (KeyKind{k}) {
        case KeyKind::StartProgram:
            return LaunchKind::Program;
        case KeyKind::OpenFolder:
            return LaunchKind::Folder;
        case KeyKind::PlaySound:
        case KeyKind::OpenFile:
            return LaunchKind::Document;
        // Not launch kinds: findLaunchSlot only picks records of a launch kind.
        case KeyKind::SingleKey:
        case KeyKind::Combination:
        case KeyKind::Macro:
        case KeyKind::Preset:
        case KeyKind::None:
        case KeyKind::Unchosen:
            break;
    }
    return LaunchKind::Document;
}

bool hasDrive(std::string_view dir) {
    return dir.size() >= 2 && dir[1] == ':' &&
           ((dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z'));
}

}  // namespace

char pathSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

SplitPath splitLaunchPath(std::string_view path) {
    const auto sep = path.rfind(pathSeparator());
    if (sep == std::string_view::npos) return {std::string(path), {}};
    return {std::string(path.substr(0, sep)), std::string(path.substr(sep + 1))};
}

std::optional<int> findLaunchSlot(const model::KeyActionTable& actions, std::uint8_t code) {
    for (int slot = 0; slot < model::kKeyActionCount; ++slot) {
        const auto record = model::keyActionBytes(actions, slot);
        if (model::isLaunchKind(KeyKind{record[model::keyaction::kKind]}) &&
            record[model::keyaction::kOwnCode] == code) {
            return slot;
        }
    }
    return std::nullopt;
}

std::optional<LaunchRequest> launchRequestFor(const model::KeyActionTable& actions,
                                              std::uint8_t code) {
    const auto slot = findLaunchSlot(actions, code);
    if (!slot) return std::nullopt;
    const auto record = model::keyActionBytes(actions, *slot);
    const std::string path = utf16ToUtf8(readUtf16Field(
        record.subspan<model::keyaction::kLaunchPath, model::keyaction::kLaunchPathSize>()));
    if (path.empty()) return std::nullopt;

    LaunchRequest request;
    request.kind = launchKindOf(record[model::keyaction::kKind]);
    const SplitPath split = splitLaunchPath(path);
    if (path.find(pathSeparator()) == std::string::npos) {
        request.path = path;
    } else if (split.item.empty()) {
        // A trailing separator names the folder itself.
        request.path = split.folder.empty() ? path : split.folder;
        request.workingFolder = request.path;
    } else {
        request.path = path;
        request.workingFolder =
            split.folder.empty() ? std::string(1, pathSeparator()) : split.folder;
    }
    return request;
}

bool launchForCode(const model::KeyActionTable& actions, std::uint8_t code, Launcher& launcher) {
    const auto request = launchRequestFor(actions, code);
    if (!request) return false;
    launcher.launch(*request);
    return true;
}

std::string chooserStartFolder(std::string_view workingDirectory, std::string_view home,
                               const std::function<bool(const std::string&)>& isFolder) {
    if (hasDrive(workingDirectory)) {
        std::string profiles(workingDirectory.substr(0, 2));
        profiles += "\\Program Files\\halvane\\torbe meridian\\Profile";
        if (isFolder && isFolder(profiles)) return profiles;
    }
    return std::string(home);
}

std::string shortenLaunchPath(std::string_view path) {
    const std::u16string text = utf8ToUtf16(path);
    if (text.size() <= kShortPathChars) return std::string(path);
    const auto sep = text.rfind(static_cast<char16_t>(pathSeparator()));
    if (sep == std::u16string::npos || sep + 1 == text.size()) return std::string(path);
    return ".." + utf16ToUtf8(text.substr(sep));
}

}  // namespace tavrik::keyassign
