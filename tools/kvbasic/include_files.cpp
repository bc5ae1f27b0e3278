#include "include_files.h"

#include <filesystem>
#include <fstream>
#include <map>

#include "block_tree.h"
#include "parser.h"

namespace fs = std::filesystem;

namespace kvbasic {

namespace {

// A file's identity, so that one file reached by two spellings counts once.
std::string Identity(const fs::path& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    if (!error) return canonical.string();
    return fs::absolute(path, error).lexically_normal().string();
}

bool HasInclude(const Line& line)
{
    for (const auto& statement : line.statements)
        if (statement->type == Statement::Type::Include) return true;
    return false;
}

// The first SUB or FUNCTION of a file ends its main-program part: the
// lines from there on join the program's SUBs and FUNCTIONs, so the lines
// of the including file after its INCLUDE stay main program.
bool StartsUnit(const Line& line)
{
    if (line.statements.empty()) return false;
    const Statement::Type type = line.statements.front()->type;
    return type == Statement::Type::Sub || type == Statement::Type::Function;
}

// Expressions carry the line they were parsed on, counted in their file;
// the checker's errors need the line in the program's numbering.
void Renumber(Expr* expr, int number)
{
    if (expr == nullptr) return;
    expr->line = number;
    for (auto& child : expr->children) Renumber(child.get(), number);
}

void Renumber(Statement* statement, int number)
{
    if (statement == nullptr) return;
    for (Expr* expr : {statement->target.get(), statement->value.get(), statement->cond.get(), statement->from.get(),
                       statement->to.get(), statement->step.get(), statement->call.get()})
        Renumber(expr, number);
    for (auto& item : statement->items) Renumber(item.get(), number);
    for (auto& each : statement->cases) {
        Renumber(each.value.get(), number);
        Renumber(each.to.get(), number);
    }
    Renumber(statement->then.get(), number);
    Renumber(statement->otherwise.get(), number);
    for (auto& each : statement->body) Renumber(each.get(), number);
}

class Loader {
public:
    Loader(const SourceReader& reader, Diagnostics& diagnostics) : reader_(reader), diagnostics_(diagnostics) {}

    Program Run(const std::string& source, const std::string& name, const std::string& path)
    {
        mainFolder_ = fs::path(path).parent_path();
        program_.files.push_back({name, path, 0});
        fileErrors_.emplace_back();
        loaded_.emplace(Identity(path), 0);
        chain_.push_back(Identity(path));
        chainFiles_.push_back(0);
        std::vector<Line> main, subs;
        Load(0, source, main, subs);
        for (Line& line : subs) main.push_back(std::move(line));
        program_.lines = std::move(main);
        // Each file's errors, in its own line numbers, in the program's.
        std::vector<std::map<int, int>> positions(program_.files.size());
        for (std::size_t k = 0; k < program_.lines.size(); ++k) {
            Line& line = program_.lines[k];
            line.index = static_cast<int>(k);
            for (auto& statement : line.statements) Renumber(statement.get(), line.index + 1);
            positions[line.file][line.fileLine + 1] = line.index + 1;
        }
        for (std::size_t file = 0; file < fileErrors_.size(); ++file) {
            for (Diagnostic error : fileErrors_[file].Sorted()) {
                auto found = positions[file].find(error.line);
                error.line = found != positions[file].end() ? found->second : error.line;
                diagnostics_.Add(std::move(error));
            }
        }
        BuildBlockTree(program_, diagnostics_);
        return std::move(program_);
    }

private:
    // Parses file `file` into its main-program lines (with the main lines of
    // the files it includes after each INCLUDE) and its SUB lines (with
    // those of the files it includes after them).
    void Load(int file, const std::string& source, std::vector<Line>& main, std::vector<Line>& subs)
    {
        Program parsed = Parse(source, fileErrors_[file]);
        program_.files[file].lineCount = static_cast<int>(parsed.lines.size());
        std::vector<Line> includedSubs;
        bool inSubs = false;
        for (Line& line : parsed.lines) {
            line.file = file;
            inSubs = inSubs || StartsUnit(line);
            // An INCLUDE in a SUB or FUNCTION stays unread; the checker refuses it.
            const bool includes = !inSubs && HasInclude(line);
            std::vector<const Statement*> includeStatements;
            if (includes)
                for (const auto& statement : line.statements)
                    if (statement->type == Statement::Type::Include) includeStatements.push_back(statement.get());
            const int fileLine = line.fileLine;
            (inSubs ? subs : main).push_back(std::move(line));
            for (const Statement* include : includeStatements) Include(file, fileLine, *include, main, includedSubs);
        }
        for (Line& line : includedSubs) subs.push_back(std::move(line));
    }

    void Include(int from, int fileLine, const Statement& statement, std::vector<Line>& main, std::vector<Line>& subs)
    {
        auto error = [&](const std::string& problem) {
            fileErrors_[from].Error(fileLine + 1, statement.column, "cannot include \"" + statement.name + "\": " + problem);
        };
        const fs::path path = (fs::path(program_.files[from].path).parent_path() / statement.name).lexically_normal();
        const std::string identity = Identity(path);
        // A file still being read includes itself through this one.
        for (std::size_t k = 0; k < chain_.size(); ++k) {
            if (chain_[k] != identity) continue;
            std::string cycle;
            for (std::size_t j = k; j < chain_.size(); ++j)
                cycle += program_.files[chainFiles_[j]].name + " includes ";
            error("the files include each other (" + cycle + program_.files[chainFiles_[k]].name + ")");
            return;
        }
        if (loaded_.count(identity)) return;  // once only
        std::string text, problem;
        if (!reader_) {
            error("this translation reads no files");
            return;
        }
        if (!reader_(path.string(), text, problem)) {
            error(problem);
            return;
        }
        const int file = static_cast<int>(program_.files.size());
        fs::path name = path.lexically_relative(mainFolder_.empty() ? fs::path(".") : mainFolder_);
        if (name.empty()) name = path;
        program_.files.push_back({name.generic_string(), path.string(), 0});
        fileErrors_.emplace_back();
        loaded_.emplace(identity, file);
        chain_.push_back(identity);
        chainFiles_.push_back(file);
        Load(file, text, main, subs);
        chain_.pop_back();
        chainFiles_.pop_back();
    }

    const SourceReader& reader_;
    Diagnostics& diagnostics_;
    Program program_;
    fs::path mainFolder_;
    std::vector<Diagnostics> fileErrors_;      // per file, in its own line numbers
    std::map<std::string, int> loaded_;        // identity -> file
    std::vector<std::string> chain_;           // identities of the included files being read
    std::vector<int> chainFiles_;
};

}  // namespace

bool ReadSourceFile(const std::string& path, std::string& text, std::string& problem)
{
    // The type is looked at before the file is opened: opening a pipe would
    // wait for a writer, and a device such as /dev/zero never ends.
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    switch (status.type()) {
    case fs::file_type::regular: break;
    case fs::file_type::directory: problem = "it is a folder, not a file"; return false;
    case fs::file_type::not_found: problem = "there is no such file"; return false;
    case fs::file_type::fifo: problem = "it is a pipe, not a file"; return false;
    case fs::file_type::character:
    case fs::file_type::block: problem = "it is a device, not a file"; return false;
    case fs::file_type::socket: problem = "it is a socket, not a file"; return false;
    default: problem = error ? "the file cannot be read" : "it is not a plain file"; return false;
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (!error && size > kMaxSourceFileBytes) {
        problem = "it is larger than " + std::to_string(kMaxSourceFileBytes >> 20) + " MiB, the most a source file may hold";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problem = "the file cannot be read";
        return false;
    }
    // Read to the limit and one byte past it: a file that grew since its
    // size was looked at is refused all the same.
    std::string content;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (content.size() > kMaxSourceFileBytes) {
            problem = "it is larger than " + std::to_string(kMaxSourceFileBytes >> 20) + " MiB, the most a source file may hold";
            return false;
        }
    }
    if (in.bad()) {
        problem = "the file cannot be read";
        return false;
    }
    text = std::move(content);
    return true;
}

Program ParseProgram(const std::string& source, const std::string& name, const std::string& path,
                     const SourceReader& reader, Diagnostics& diagnostics)
{
    return Loader(reader, diagnostics).Run(source, name, path);
}

void LocateDiagnostics(const Program& program, std::vector<Diagnostic>& errors)
{
    for (Diagnostic& error : errors) {
        if (error.line < 1 || error.line > static_cast<int>(program.lines.size())) continue;
        const Line& line = program.lines[error.line - 1];
        error.line = line.fileLine + 1;
        if (line.file != 0) error.file = program.files[line.file].path;
    }
}

std::string LineReference(const Program& program, int number)
{
    if (number < 1 || number > static_cast<int>(program.lines.size())) return "line " + std::to_string(number);
    const Line& line = program.lines[number - 1];
    std::string reference = "line " + std::to_string(line.fileLine + 1);
    if (line.file != 0) reference += " of " + program.files[line.file].name;
    return reference;
}

}  // namespace kvbasic
