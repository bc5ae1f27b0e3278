// Writes the libFuzzer dictionary of the BASIC dialect for the translator's
// harness: every reserved word and symbol of the lexer, every command of
// the command table, the configuration settings and the two-word forms,
// one quoted entry a line. Built with the harness, so that a new command
// or word is in the dictionary without anyone adding it by hand.
//
//   kvbasic_fuzz_dictionary OUTPUT.dict
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

#include "core/command_table.h"
#include "token_kinds.h"

namespace {

// A dictionary entry: in double quotes, with \\, \" and bytes outside
// printable ASCII escaped as \xNN.
std::string Entry(std::string_view text)
{
    std::string entry = "\"";
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            entry += '\\';
            entry += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", byte);
            entry += escape;
        } else {
            entry += c;
        }
    }
    return entry + "\"";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kvbasic_fuzz_dictionary OUTPUT.dict\n");
        return 1;
    }
    std::set<std::string> words;
    for (int kind = 0; kind < 256; ++kind) {
        const std::string_view spelling = kvbasic::KindSpelling(static_cast<kvbasic::TokenKind>(kind));
        if (!spelling.empty()) words.emplace(spelling);
    }
    for (int k = 0; k < kvcommands::kCommandCount; ++k) words.emplace(kvcommands::kCommands[k].name);
    // The settings of the main program and the words that go in pairs.
    for (const char* more : {"KV_RESX", "KV_RESY", "KV_FULLSCREEN", "KV_FRAMERATE", "KV_DEBUG", "KV_WANTMOUSE",
                             "KV_CAPTION", "END SELECT", "END FUNCTION", "END TYPE", "END IF", "SELECT CASE", "CASE ELSE",
                             "CASE IS", "EXIT SUB", "EXIT FUNCTION", "EXIT FOR", "EXIT WHILE", "EXIT REPEAT", "AS",
                             "'", "\"", "$", "\n", "\r\n", "[]", "[0]"})
        words.emplace(more);
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out, "# The BASIC dialect's words, symbols and commands (written by kvbasic_fuzz_dictionary).\n");
    for (const std::string& word : words) std::fprintf(out, "%s\n", Entry(word).c_str());
    return std::fclose(out) == 0 ? 0 : 1;
}
