#include "core/command_table.h"

#include <cctype>
#include <string>
#include <unordered_map>

namespace kvcommands {

const Command kCommands[] = {
#define KV_COMMAND(name, arguments, result, function) {name, arguments, #result[0], #function},
#include "core/command_list.def"
#undef KV_COMMAND
};

const int kCommandCount = static_cast<int>(sizeof(kCommands) / sizeof(kCommands[0]));

const Command* FindCommand(const char* name)
{
    // Keyed by the upper-case name; built on first use.
    static const std::unordered_map<std::string, const Command*> byName = [] {
        std::unordered_map<std::string, const Command*> map;
        for (const Command& command : kCommands) map.emplace(command.name, &command);
        return map;
    }();
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto found = byName.find(upper);
    return found == byName.end() ? nullptr : found->second;
}

}  // namespace kvcommands
