#include "profiles/profile_texts.h"

#include <array>

namespace tavrik::profiles {
namespace {
struct CommandRow {
    Command command;
    BiText text;
};
constexpr std::array<CommandRow, 5> kCommands{{
    {Command::New, {"New", "新建"}},
    {Command::Copy, {"Copy", "复制"}},
    {Command::Save, {"Save", "保存"}},
    {Command::Load, {"Load", "加载"}},
    {Command::Delete, {"Delete", "删除"}},
}};
}  // namespace

BiText commandText(Command command) {
    for (const auto& row : kCommands) {
        if (row.command == command) return row.text;
    }
    return {};
}

std::optional<Command> commandFromId(int id) {
    for (const auto& row : kCommands) {
        if (static_cast<int>(row.command) == id) return row.command;
    }
    return std::nullopt;
}

}  // namespace tavrik::profiles
