#include "profiles/profile_names.h"

#include <algorithm>

namespace tavrik::profiles {
namespace {
bool isRow(std::span<const std::string> rows, std::string_view name) {
    return std::find(rows.begin(), rows.end(), name) != rows.end();
}
}  // namespace

bool isProfileFileName(std::string_view fileName) {
    return fileName.ends_with(kExtension);
}

std::string rowText(std::string_view fileName) {
    std::string out;
    for (auto pos = fileName.find(kExtension); pos != std::string_view::npos;
         pos = fileName.find(kExtension)) {
        out += fileName.substr(0, pos);
        fileName.remove_prefix(pos + kExtension.size());
    }
    return out += fileName;
}

std::string renamedFileName(std::string_view name) {
    std::string out(name);
    if (out.find(kExtension) == std::string::npos) out += kExtension;
    return out;
}

bool isSafeProfileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    if (name.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos) return false;
    return !rowText(name).empty();
}

std::optional<NameProblem> profileNameProblem(std::string_view name) {
    if (!isSafeProfileName(name)) return NameProblem::Unsafe;
    const std::string file = renamedFileName(name);
    if (!isProfileFileName(file)) return NameProblem::NotListed;
    if (file.size() > kMaxFileNameBytes) return NameProblem::TooLong;
    return std::nullopt;
}

std::string newProfileName(std::span<const std::string> rows) {
    for (int n = 1;; ++n) {
        std::string name = "Profile_" + std::to_string(n);
        if (!isRow(rows, name)) return name;
    }
}

std::string copyName(std::string_view prefix, std::string_view source,
                     std::span<const std::string> rows) {
    const std::string base = std::string(prefix) + " " + std::string(source);
    if (!isRow(rows, base)) return base;
    for (int n = 1;; ++n) {
        std::string name = base + " " + std::to_string(n);
        if (!isRow(rows, name)) return name;
    }
}

}  // namespace tavrik::profiles
