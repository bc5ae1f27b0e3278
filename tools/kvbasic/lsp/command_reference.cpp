#include "command_reference.h"

#include <cctype>

namespace kvlsp {

namespace {

// docs/commands.md as bytes, made by embed_text.cmake at build time.
const unsigned char kCommandsMarkdown[] = {
#include "commands_md.inc"
};

std::string Upper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string Trim(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return "";
    return std::string(text.substr(start, text.find_last_not_of(' ') - start + 1));
}

// The cells of a table row "| a | b \| c |": split at '|' not escaped.
std::vector<std::string> Cells(std::string_view line)
{
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t at = 1; at < line.size(); ++at) {
        if (line[at] == '\\' && at + 1 < line.size() && line[at + 1] == '|') {
            cell += "\\|";
            ++at;
        } else if (line[at] == '|') {
            cells.push_back(Trim(cell));
            cell.clear();
        } else {
            cell += line[at];
        }
    }
    return cells;
}

// The parameter names of a row's arguments cell when they are a plain
// list ("string, find [, start]"): one name per argument kind, else none.
std::vector<std::string> NamesFromRow(const std::string& cell, std::size_t count)
{
    std::vector<std::string> names;
    std::string name;
    for (const char c : cell + ",") {
        if (c == '[' || c == ']') continue;
        if (c != ',') {
            name += c;
            continue;
        }
        names.push_back(Trim(name));
        name.clear();
    }
    for (const std::string& each : names)
        if (each.empty() || each.size() > 24 || each.find('`') != std::string::npos) return {};
    if (names.size() != count) return {};
    return names;
}

}  // namespace

std::string KindName(char kind)
{
    switch (kind) {
    case 'n': return "number";
    case 's': return "string";
    case 'v': return "string or number";
    case 'N': return "number variable";
    case 'S': return "string variable";
    case 'V': return "variable";
    case 'a': return "array of numbers";
    case 'A': return "array of strings";
    case 'x': return "array";
    default: return "value";
    }
}

std::string_view CommandReference::BuiltInMarkdown()
{
    return std::string_view(reinterpret_cast<const char*>(kCommandsMarkdown), sizeof kCommandsMarkdown);
}

CommandReference::CommandReference(std::string_view markdown)
{
    std::string section;
    std::size_t start = 0;
    while (start < markdown.size()) {
        std::size_t end = markdown.find('\n', start);
        if (end == std::string_view::npos) end = markdown.size();
        const std::string_view line = markdown.substr(start, end - start);
        start = end + 1;
        if (line.rfind("## ", 0) == 0) section = Trim(line.substr(3));
        if (line.rfind("| `", 0) != 0) continue;
        const std::vector<std::string> cells = Cells(line);
        if (cells.size() < 4) continue;
        CommandRow row{section, cells[0], cells[1], cells[2], cells[3]};
        // Every `NAME` of the first cell is documented by this row.
        for (std::size_t at = 0; (at = row.names.find('`', at)) != std::string::npos;) {
            const std::size_t close = row.names.find('`', at + 1);
            if (close == std::string::npos) break;
            byName_.emplace(Upper(row.names.substr(at + 1, close - at - 1)), rows_.size());
            at = close + 1;
        }
        rows_.push_back(std::move(row));
    }
}

const CommandRow* CommandReference::Row(std::string_view name) const
{
    const auto it = byName_.find(Upper(name));
    return it == byName_.end() ? nullptr : &rows_[it->second];
}

Signature CommandReference::SignatureOf(const kvcommands::Command& command) const
{
    std::vector<std::string> kinds;
    std::string kind;
    for (const char* p = command.arguments;; ++p) {
        if (*p == ' ' || *p == 0) {
            if (!kind.empty()) kinds.push_back(kind);
            kind.clear();
            if (*p == 0) break;
        } else {
            kind += *p;
        }
    }
    const CommandRow* row = Row(command.name);
    const std::vector<std::string> names = row != nullptr ? NamesFromRow(row->arguments, kinds.size()) : std::vector<std::string>{};
    Signature signature;
    signature.label = std::string(command.name) + "(";
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        std::string parameter = names.empty() ? KindName(kinds[k][0]) : names[k];
        if (kinds[k].size() > 1) parameter = "[" + parameter + "]";
        if (k) signature.label += ", ";
        signature.label += parameter;
        signature.parameters.push_back(parameter);
    }
    signature.label += command.result == 's' ? ") -> string" : ") -> number";
    return signature;
}

std::string CommandReference::HoverText(const kvcommands::Command& command) const
{
    std::string text = "```\n" + SignatureOf(command).label + "\n```\n";
    const CommandRow* row = Row(command.name);
    if (row == nullptr) return text;
    text += "\n" + row->names + (row->section.empty() ? "" : " (" + row->section + ")") + "\n\n";
    text += "| arguments | result | errors |\n|---|---|---|\n";
    text += "| " + row->arguments + " | " + row->result + " | " + row->errors + " |\n";
    return text;
}

}  // namespace kvlsp
