#include "appconfig/permission_notice.h"

namespace tavrik::appconfig {
namespace {

constexpr std::string_view kApplyCommand =
    "sudo udevadm trigger --subsystem-match=hidraw --action=change";

// One pass over the template, so that a path holding "%2" stays as it is.
std::string fillIn(std::string_view pattern, std::string_view first, std::string_view second) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() &&
            (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            out += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

std::string shellQuoted(std::string_view path) {
    std::string out = "'";
    for (char c : path) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

PermissionFix permissionFix(std::string_view shippedCopy,
                            const std::function<bool(const std::string&)>& isFile) {
    for (std::string_view folder : kUdevRuleFolders) {
        std::string path = std::string(folder) + "/" + std::string(kUdevRuleName);
        if (isFile(path)) {
            return {RuleState::Installed, std::move(path), std::string(kApplyCommand)};
        }
    }
    if (shippedCopy.empty()) return {};
    std::string command = "sudo install -m 644 " + shellQuoted(shippedCopy) + " " +
                          std::string(kLocalRuleFolder) + "/ && sudo udevadm control --reload && " +
                          std::string(kApplyCommand);
    return {RuleState::Shipped, std::string(shippedCopy), std::move(command)};
}

std::string permissionNotice(const PermissionFix& fix, Language lang) {
    std::string_view pattern = kRuleMissingFix.in(lang);
    if (fix.state == RuleState::Installed) pattern = kRuleInstalledFix.in(lang);
    if (fix.state == RuleState::Shipped) pattern = kRuleShippedFix.in(lang);
    const std::string_view rule =
        fix.state == RuleState::Missing ? kUdevRuleName : std::string_view(fix.rulePath);
    return std::string(kNoPermissionLead.in(lang)) + fillIn(pattern, rule, fix.command);
}

}  // namespace tavrik::appconfig
