#pragma once
// What the tool tells a user who may not open the keyboard's device nodes: whether its udev rule
// is installed, and the one command that fixes it (apply the installed rule to the plugged
// keyboard, or install the copy shipped with the tool).

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "common/language.h"

namespace tavrik::appconfig {

inline constexpr std::string_view kUdevRuleName = "70-tavrik-87rev.rules";
// The folders udev reads rules from.
inline constexpr std::array<std::string_view, 5> kUdevRuleFolders{
    "/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
    "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
// Where a user installs a rule by hand.
inline constexpr std::string_view kLocalRuleFolder = "/etc/udev/rules.d";

enum class RuleState {
    Installed,  // udev has the rule: it only needs applying to the plugged keyboard
    Shipped,    // not installed; the tool's own copy can be installed
    Missing,    // neither installed nor shipped (a damaged installation)
};

struct PermissionFix {
    RuleState state = RuleState::Missing;
    std::string rulePath;  // the installed rule or the shipped copy; empty when missing
    std::string command;   // the one shell command that fixes it; empty when missing
};

// Looks for the installed rule in udev's folders, then takes shippedCopy (empty when the tool
// found none). isFile tells whether a path names an existing file.
PermissionFix permissionFix(std::string_view shippedCopy,
                            const std::function<bool(const std::string&)>& isFile);

// The path quoted for a POSIX shell.
std::string shellQuoted(std::string_view path);

// The whole notice in lang: why the keyboard cannot be used, and the fix.
std::string permissionNotice(const PermissionFix& fix, Language lang);

inline constexpr BiText kNoPermissionLead{
    "The keyboard is connected, but this user may not open its HID devices.\n",
    "键盘已连接，但当前用户无权打开其 HID 设备。\n"};
// %1: the rule file, %2: the command.
inline constexpr BiText kRuleInstalledFix{
    "The tool's udev rule is installed (%1) but not yet applied to the plugged keyboard. Apply "
    "it with this command, or plug the keyboard in again:\n\n%2",
    "本工具的 udev 规则已安装（%1），但尚未应用到已插入的键盘。请运行以下命令应用，"
    "或重新插入键盘：\n\n%2"};
inline constexpr BiText kRuleShippedFix{
    "Install the udev rule that comes with the tool (%1) with this command:\n\n%2",
    "请用以下命令安装本工具附带的 udev 规则（%1）：\n\n%2"};
inline constexpr BiText kRuleMissingFix{
    "The tool's udev rule (%1) is neither installed nor beside the tool; reinstall the tool.",
    "未找到本工具的 udev 规则（%1），请重新安装本工具。"};

}  // namespace tavrik::appconfig
