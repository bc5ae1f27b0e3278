// The large program the translator's and the language server's benchmarks
// work on: game/zorvelin.bas, then copies of its SUBs (renamed), then
// comment lines up to exactly 10 000 lines.
#pragma once

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace bench {

inline const std::string& TenThousandLines()
{
    static const std::string source = [] {
        std::ifstream in(std::string(KV_SOURCE_DIR) + "/game/zorvelin.bas");
        std::stringstream text;
        text << in.rdbuf();
        const std::string game = text.str();
        const std::string subs = game.substr(game.find("\nSUB ") + 1);
        std::string program = game;
        const std::regex subLine("^SUB (\\w+):", std::regex::multiline);
        auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
        for (int copy = 1;; ++copy) {
            const std::string more = std::regex_replace(subs, subLine, "SUB $1_" + std::to_string(copy) + ":");
            if (lines(program) + lines(more) > 10000) break;
            program += more;
        }
        while (lines(program) < 10000) program += "' filler\n";
        return program;
    }();
    return source;
}

}  // namespace bench
