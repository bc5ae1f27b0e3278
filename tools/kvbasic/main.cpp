// kvbasic: translates programs of the BASIC dialect into C++ in generated
// form and builds them into native programs against the runtime.
//
//   kvbasic translate prog.bas [-o prog.cpp] [--header prog.h --entry main.cpp] [--depfile prog.d] [--debug] [--no-integer-paths]
//   kvbasic build prog.bas [-o prog] [--media DIR] [--single-file] [-O0] [--debug] [--sdk DIR]
//   kvbasic build prog.bas --web [-o DIR] [--media DIR] [-O0] [--sdk DIR]
//   kvbasic build prog.bas --windows [-o DIR] [--media DIR] [--single-file] [-O0] [--sdk DIR]
//   kvbasic run prog.bas [--media DIR] [--profile] [--sdk DIR] [-- arguments...]
//   kvbasic lsp            (the language server, on standard input and output)
//   kvbasic dap [--sdk DIR] (the debug adapter, on standard input and output)
//
// Exit code 0 on success, 1 on any error; run gives the program's own.
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dap/adapter.h"
#include "lsp/server.h"
#include "toolchain.h"
#include "translator.h"
#include "web_build.h"
#include "windows_build.h"
#include "web_runtime_cache.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kVersion = "kvbasic " KVBASIC_VERSION;

constexpr const char* kHelp =
    "Usage: kvbasic COMMAND FILE.bas [options]\n"
    "\n"
    "Translates programs of the BASIC dialect into C++ and builds them into\n"
    "native programs against the runtime library.\n"
    "\n"
    "Commands:\n"
    "  translate FILE.bas   write the program in generated C++ form\n"
    "      -o FILE.cpp        output file (default: FILE.cpp in the current folder)\n"
    "      --header FILE.h    also write the declarations of the globals and SUBs;\n"
    "      --entry FILE.cpp   ... and then WinMain into this file of its own\n"
    "      --file-number N    the file number __dLn reports (default 0)\n"
    "      --depfile FILE     also write the files the program was read from\n"
    "                         (FILE.bas and what it INCLUDEs) as a make rule\n"
    "      --debug            with the debugger's checks and variable tables\n"
    "      --no-integer-paths every number a double in the C++ as well (to compare\n"
    "                         against the loops that count in whole numbers)\n"
    "  build FILE.bas       translate and compile into a program\n"
    "      -o PROGRAM         output program (default: FILE in the current folder)\n"
    "      --media DIR        copy the files of DIR beside the program\n"
    "      --single-file      pack the media into the program instead\n"
    "      -O0                no optimisation, as run builds (faster to build)\n"
    "      --no-integer-paths as for translate (run takes it too)\n"
    "      --debug            for the debugger (kvbasic dap): built as run builds,\n"
    "                         the media found in $KV_PROGRAM_FOLDER\n"
    "      --web              build for the browser with Emscripten (em++): -o\n"
    "                         names a folder (default: FILE) that receives\n"
    "                         index.html, index.js, index.wasm and index.data,\n"
    "                         static files any web server serves; --media DIR\n"
    "                         (default: the folder of FILE.bas, hidden files left\n"
    "                         out) becomes the program's folder in the browser,\n"
    "                         the default font added. The runtime for the web is\n"
    "                         built once into $XDG_CACHE_HOME/kvbasic (else\n"
    "                         ~/.cache/kvbasic), SDL2 & co into kvbasic-web beside\n"
    "                         it, with the em++ on PATH; --sdk DIR (also\n"
    "                         $KVBASIC_WEB_SDK) names a build configured with\n"
    "                         -DKV_WEB=ON instead\n"
    "      --windows          build for 64-bit Windows with MinGW-w64: -o names a\n"
    "                         folder (default: FILE) that receives FILE.exe\n"
    "                         (linked statically: no DLL beside it), the files of\n"
    "                         --media DIR and the default font beside it, or with\n"
    "                         --single-file packed into it; --sdk DIR (also\n"
    "                         $KVBASIC_WINDOWS_SDK) names the runtime's build with\n"
    "                         windows/mingw-w64-x86_64.cmake\n"
    "  run FILE.bas         build into a temporary folder and start the program\n"
    "                       in the folder of FILE.bas: it loads its pictures and\n"
    "                       sounds from there and the files it writes stay there\n"
    "      --media DIR        use DIR as the program's folder instead\n"
    "      --profile          sample where the program spends its CPU time and,\n"
    "                         however it ends, print on stderr the 20 lines and\n"
    "                         the 10 SUBs and FUNCTIONs that took the most (see\n"
    "                         \"Profiling\" in docs/language.md)\n"
    "      -- ARGS...         arguments for the program\n"
    "                       The exit code is the program's: 1 after a runtime\n"
    "                       error, which it reports as FILE.bas:LINE: runtime\n"
    "                       error N: TEXT and the source line.\n"
    "  lsp                  the language server for editors: speaks the\n"
    "                       Language Server Protocol on standard input and\n"
    "                       output (errors as you type, completion, hover help,\n"
    "                       signature help, go to definition, outline)\n"
    "  dap                  the debug adapter for editors: speaks the Debug\n"
    "                       Adapter Protocol on standard input and output;\n"
    "                       launch builds FILE.bas for debugging and runs it\n"
    "                       with breakpoints (conditions, hit counts),\n"
    "                       stepping, pausing, the call stack, variables,\n"
    "                       records and arrays (also set), BASIC expressions\n"
    "                       in watches and the console, and stops at runtime\n"
    "                       errors (see docs/debugging.md)\n"
    "\n"
    "Common options:\n"
    "  --sdk DIR            the runtime SDK to build against (also $KVBASIC_SDK);\n"
    "                       default: the SDK kvbasic is installed in, else the\n"
    "                       build tree it was built in\n"
    "  --timings            print the wall and CPU time of each step\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Errors are reported as FILE.bas:LINE:COLUMN: error: MESSAGE, all of a file\n"
    "at once. Exit code 0 on success, 1 on any error.\n"
    "\n"
    "Builds use a precompiled runtime header kept in $XDG_CACHE_HOME/kvbasic\n"
    "(else ~/.cache/kvbasic), made on first use, and link with ld.lld or\n"
    "ld.gold when one is on PATH; without them they are only slower.\n";

struct Options {
    std::string command;
    std::string source;
    std::string output;
    std::string header;
    std::string entry;
    std::string depfile;
    std::string media;
    std::string sdk;
    bool singleFile = false;
    bool web = false;  // build --web: a folder for the browser
    bool windows = false;  // build --windows: a folder with a Windows program
    bool timings = false;
    bool unoptimised = false;  // -O0: build as run does
    bool profile = false;      // run --profile: the profiler's report at the end
    bool debug = false;        // --debug: translated and built for the debugger
    bool integerPaths = true;  // --no-integer-paths: off
    int fileNumber = 0;
    std::vector<std::string> programArguments;
};

int Fail(const std::string& message)
{
    std::cerr << "kvbasic: " << message << "\n";
    return 1;
}

// One argument for the shell, in single quotes.
std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// A large program is built from several files, each of about this many
// statements, which include this header (see EmitOptions): the compiler's
// time and memory grow much faster than the length of one file.
constexpr int kBuildPartStatements = 20000;
constexpr const char* kPartHeaderName = "program.h";

// Translates the source; prints the errors and returns false when it has any.
bool TranslateFile(const Options& options, const std::string& headerName, kvbasic::TranslateResult& result,
                   int partStatements = 0)
{
    kvbasic::TranslateRequest request;
    std::string problem;
    if (!kvbasic::ReadSourceFile(options.source, request.source, problem)) {
        std::cerr << "kvbasic: cannot read " << options.source << ": " << problem << "\n";
        return false;
    }
    request.sourceName = fs::path(options.source).filename().string();
    request.sourcePath = options.source;
    request.programName = fs::path(options.source).stem().string();
    request.headerName = headerName;
    request.fileNumber = options.fileNumber;
    request.partStatements = partStatements;
    request.partHeaderName = kPartHeaderName;
    request.debug = options.debug;
    request.integerPaths = options.integerPaths;
    result = kvbasic::Translate(request);
    for (const kvbasic::Diagnostic& error : result.errors)
        std::cerr << kvbasic::FormatDiagnostic(options.source, error) << "\n";
    if (!result.ok)
        std::cerr << "kvbasic: " << result.errors.size() << (result.errors.size() == 1 ? " error" : " errors")
                  << " in " << options.source << "\n";
    return result.ok;
}

// "out.cpp: a.bas lib/b.bas": what the output was made from, for build
// systems that translate again when an included file changes.
std::string MakeRule(const std::string& output, const std::vector<std::string>& sources)
{
    auto escape = [](const std::string& path) {
        std::string escaped;
        for (const char c : path) {
            if (c == ' ' || c == '#' || c == '\\') escaped += '\\';
            if (c == '$') escaped += '$';
            escaped += c;
        }
        return escaped;
    };
    std::string rule = escape(output) + ":";
    for (const std::string& source : sources) rule.append(1, ' ').append(escape(source));
    return rule + "\n";
}

int Translate(const Options& options)
{
    if (options.header.empty() != options.entry.empty()) return Fail("--header and --entry go together");
    kvbasic::TranslateResult result;
    const std::string headerName = options.header.empty() ? "" : fs::path(options.header).filename().string();
    if (!TranslateFile(options, headerName, result)) return 1;
    const std::string output =
        options.output.empty() ? fs::path(options.source).stem().string() + ".cpp" : options.output;
    if (!WriteFile(output, result.code.program)) return Fail("cannot write " + output);
    if (!options.header.empty()) {
        if (!WriteFile(options.header, result.code.header)) return Fail("cannot write " + options.header);
        if (!WriteFile(options.entry, result.code.entry)) return Fail("cannot write " + options.entry);
    }
    if (!options.depfile.empty() && !WriteFile(options.depfile, MakeRule(output, result.sourceFiles)))
        return Fail("cannot write " + options.depfile);
    return 0;
}

// A new private folder under the temporary folder.
bool MakeTemporaryFolder(fs::path& folder)
{
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return false;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        folder = base / ("kvbasic-" + std::to_string(random()));
        if (fs::create_directory(folder, error)) {
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, error);
            return true;
        }
    }
    return false;
}

// The regular files of the media folder, with their paths relative to it.
std::vector<fs::path> MediaFiles(const std::string& media)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(media))
        if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), media));
    return files;
}

// The SDK to build against: --sdk, else $KVBASIC_SDK, else the SDK this
// kvbasic is installed in (DIR/bin/kvbasic beside the headers in DIR/include
// or DIR/include/kvbasic),
// else "" for the build tree kvbasic was built in.
std::string ChooseSdk(const std::string& given)
{
    if (!given.empty()) return given;
    const char* fromEnvironment = std::getenv("KVBASIC_SDK");
    if (fromEnvironment != nullptr && *fromEnvironment) return fromEnvironment;
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path root = self.parent_path().parent_path();
        if (self.parent_path().filename() == "bin" && kvbasic::IsSdk(root.string())) return root.string();
    }
    return "";
}

// Wall and CPU time of one step of a build, the CPU time of the tools it
// started included; printed by --timings.
class StepTimer {
public:
    StepTimer() : wall_(std::chrono::steady_clock::now()), cpu_(CpuSeconds()) {}
    std::string Report(const char* step) const
    {
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
        char text[128];
        std::snprintf(text, sizeof text, "kvbasic: %s %.3f s wall, %.3f s cpu\n", step, wall, CpuSeconds() - cpu_);
        return text;
    }

private:
    static double CpuSeconds()
    {
        double seconds = 0;
        for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
            rusage usage{};
            getrusage(who, &usage);
            seconds += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
        }
        return seconds;
    }
    std::chrono::steady_clock::time_point wall_;
    double cpu_;
};

// What a build is for: `run` wants the program soon and starts it in the
// source's folder, `build` places the media beside the program or in it.
enum class Purpose { Run, Build };

// Optimisation: none for `run` and `build -O0`; else -O2, but a program
// with a huge function (a SUB of thousands of lines; a long main program
// is cut into functions of about 1,000 statements) gets none either: only
// then does the compiler's time grow linearly with the function's length
// (20,000 lines in one function: 11.5 s at -O0, 69 s at -O1, 54 s at -O2;
// 10,000 lines: 5.9 s at -O0).
std::string OptimisationFor(const Options& options, Purpose purpose, const kvbasic::TranslateResult& result)
{
    if (purpose == Purpose::Run || options.unoptimised) return "-O0";
    return result.code.longestFunctionLines > kvbasic::kHugeFunctionLines ? "-O0" : "-O2";
}

// Compiles the generated C++ into an object file, with the precompiled
// runtime header when one can be had.
int Compile(const kvbasic::Toolchain& toolchain, const std::string& optimisation, const fs::path& cpp,
            const fs::path& object)
{
    std::vector<std::string> flags = {"-std=c++20", optimisation};
    for (const std::string& flag : toolchain.compileFlags) flags.push_back(flag);
    const std::string precompiled = kvbasic::PrecompiledHeaderFolder(toolchain, flags);
    std::string command = Quote(toolchain.compiler);
    for (const std::string& flag : flags) {
        command += ' ';
        command += Quote(flag);
    }
    if (!precompiled.empty()) command += " -I" + Quote(precompiled);
    command += " -I" + Quote(toolchain.includeDir) + " -c " + Quote(cpp.string()) + " -o " + Quote(object.string());
    return std::system(command.c_str()) == 0 ? 0 : Fail("the C++ compiler failed on " + cpp.string());
}

int Link(const kvbasic::Toolchain& toolchain, const std::vector<fs::path>& objects, const fs::path& program)
{
    std::string command = Quote(toolchain.compiler);
    for (const std::string& flag : toolchain.compileFlags) {
        command += ' ';
        command += Quote(flag);
    }
    // Appended piece by piece: `" " + Quote(...)` makes GCC 12 warn
    // wrongly (-Wrestrict) at -O3 about the temporary string.
    auto append = [&command](const std::string& word) {
        command += ' ';
        command += word;
    };
    if (!toolchain.linkerFlag.empty()) append(toolchain.linkerFlag);
    for (const fs::path& object : objects) append(Quote(object.string()));
    append("-o");
    append(Quote(program.string()));
    append(Quote(toolchain.libraryDir + "/libkvmain.a"));
    append(Quote(toolchain.libraryDir + "/libkvruntime.a"));
    append(toolchain.linkFlags);
    return std::system(command.c_str()) == 0 ? 0 : Fail("linking " + program.string() + " failed");
}

// Appends the media (and the default font, unless the media have their own
// Smalfont.bmp) to the linked program as its archive, giving `program`.
int PackMedia(const std::string& packer, const fs::path& linked, const std::string& media, const std::string& font,
              const std::string& program)
{
    std::string command = Quote(packer);
    kvbasic::AppendShellWord(command, program, " append -o ");
    kvbasic::AppendShellWord(command, linked.string());
    bool hasFont = false;
    for (const fs::path& file : media.empty() ? std::vector<fs::path>{} : MediaFiles(media)) {
        hasFont = hasFont || file == "Smalfont.bmp";
        std::string member = file.generic_string();
        kvbasic::AppendShellWord(command, member.append("=").append((fs::path(media) / file).string()));
    }
    if (!hasFont) kvbasic::AppendShellWord(command, "Smalfont.bmp=" + font);
    return std::system(command.c_str()) == 0 ? 0 : Fail("packing the media into " + program + " failed");
}

// Copies the media beside the program, and the default font unless the
// media have their own Smalfont.bmp.
int CopyMedia(const std::string& media, const std::string& font, const fs::path& folder)
{
    std::error_code error;
    bool hasFont = false;
    for (const fs::path& file : media.empty() ? std::vector<fs::path>{} : MediaFiles(media)) {
        hasFont = hasFont || file == "Smalfont.bmp";
        fs::create_directories((folder / file).parent_path(), error);
        fs::copy_file(fs::path(media) / file, folder / file, fs::copy_options::overwrite_existing, error);
        if (error) return Fail("cannot copy " + file.string() + ": " + error.message());
    }
    if (!hasFont) {
        fs::copy_file(font, folder / "Smalfont.bmp", fs::copy_options::overwrite_existing, error);
        if (error) return Fail("cannot copy the default font " + font + ": " + error.message());
    }
    return 0;
}

// Translates and compiles into `program`. For `build` the media go beside
// it or into it; for `run` only the default font goes into it, and the
// program then finds its media in its folder on disk. With `windows` the
// program is cross-compiled and linked for Windows by that toolchain; the
// steps are the same, the media packed by this machine's packer.
int Build(const Options& options, const std::string& program, Purpose purpose,
          const kvbasic::WindowsToolchain* windows = nullptr)
{
    if (!options.media.empty() && !fs::is_directory(options.media))
        return Fail("the media folder " + options.media + " does not exist");
    // For Windows, --sdk names the Windows build; the packer comes from
    // the SDK of this machine.
    const std::string sdk = ChooseSdk(windows != nullptr ? "" : options.sdk);
    const kvbasic::Toolchain toolchain = kvbasic::FindToolchain(sdk);
    const bool packed = options.singleFile || purpose == Purpose::Run;
    if (windows == nullptr && !fs::exists(fs::path(toolchain.includeDir) / "commands.h"))
        return Fail("no runtime headers in " + toolchain.includeDir + " (use --sdk DIR or KVBASIC_SDK)");
    if (windows != nullptr && packed && !kvbasic::PathExists(toolchain.packer))
        return Fail("the media packer " + toolchain.packer + " is missing (use KVBASIC_SDK for an SDK that has it)");
    const std::string font = windows != nullptr ? windows->font : toolchain.font;

    StepTimer translating;
    kvbasic::TranslateResult result;
    if (!TranslateFile(options, "", result, kBuildPartStatements)) return 1;
    fs::path work;
    if (!MakeTemporaryFolder(work)) return Fail("cannot create a temporary folder");
    const std::string stem = fs::path(options.source).stem().string();
    // The program's file, and for a large program its header and parts.
    std::vector<std::pair<fs::path, const std::string*>> sources = {{work / (stem + ".cpp"), &result.code.program}};
    if (!result.code.parts.empty()) sources.push_back({work / kPartHeaderName, &result.code.header});
    for (std::size_t k = 0; k < result.code.parts.size(); ++k)
        sources.push_back({work / (stem + "_part" + std::to_string(k + 1) + ".cpp"), &result.code.parts[k]});
    // (MinGW's linker adds .exe to a name without it.)
    const fs::path linked = packed ? work / (windows != nullptr ? "program.exe" : "program") : fs::path(program);
    int status = 0;
    for (const auto& [path, text] : sources)
        if (status == 0 && !WriteFile(path.string(), *text)) status = Fail("cannot write " + path.string());
    std::string timings = translating.Report("translate");
    std::vector<fs::path> objects;
    if (status == 0) {
        StepTimer compiling;
        const std::string optimisation = OptimisationFor(options, purpose, result);
        for (const auto& [path, text] : sources) {
            if (path.extension() != ".cpp" || status != 0) continue;
            objects.push_back(fs::path(path).replace_extension(".o"));
            if (windows == nullptr) {
                status = Compile(toolchain, optimisation, path, objects.back());
            } else {
                const std::string problem =
                    kvbasic::CompileForWindows(*windows, optimisation, path.string(), objects.back().string());
                if (!problem.empty()) status = Fail(problem);
            }
        }
        timings += compiling.Report("compile");
    }
    if (status == 0) {
        StepTimer linking;
        if (windows == nullptr) {
            status = Link(toolchain, objects, linked);
        } else {
            std::vector<std::string> objectFiles;
            for (const fs::path& object : objects) objectFiles.push_back(object.string());
            const std::string problem = kvbasic::LinkForWindows(*windows, objectFiles, linked.string());
            if (!problem.empty()) status = Fail(problem);
        }
        timings += linking.Report("link");
    }
    if (status == 0) {
        StepTimer placing;
        const std::string media = purpose == Purpose::Run ? "" : options.media;
        const fs::path folder = fs::absolute(program).parent_path();
        if (packed) {
            status = PackMedia(toolchain.packer, linked, media, font, program);
        } else if (windows != nullptr) {
            // As the Windows build always did: hidden files stay out.
            const std::string problem = kvbasic::CopyMediaAndFont(media, font, folder);
            if (!problem.empty()) status = Fail(problem);
        } else {
            status = CopyMedia(media, font, folder);
        }
        timings += placing.Report(packed ? "pack" : "copy media");
    }
    if (options.timings) std::cerr << timings;
    std::error_code error;
    fs::remove_all(work, error);
    return status;
}

// Translates and builds for Windows into `folder`: PROGRAM.exe, and the
// media and the default font beside it or, with --single-file, in it.
int BuildWindows(const Options& options, const std::string& folder)
{
    kvbasic::WindowsToolchain toolchain;
    std::string problem;
    if (!kvbasic::FindWindowsToolchain(kvbasic::ChooseWindowsSdk(options.sdk), toolchain, problem))
        return Fail(problem);
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) return Fail("cannot create " + folder + ": " + error.message());
    const std::string program = (fs::path(folder) / (fs::path(options.source).stem().string() + ".exe")).string();
    return Build(options, program, Purpose::Build, &toolchain);
}

// Translates and builds for the browser into `folder` (index.html and its
// files). The media folder, by default the source's own as for `run`, is
// preloaded as the program's folder.
int BuildWeb(const Options& options, const std::string& folder)
{
    fs::path media = options.media.empty() ? fs::path(options.source).parent_path() : fs::path(options.media);
    if (media.empty()) media = ".";  // a source named without a folder
    if (!fs::is_directory(media)) return Fail("the media folder " + media.string() + " does not exist");
    // A web build named by --sdk or $KVBASIC_WEB_SDK, else the runtime kept
    // in the user's cache, built from the installed SDK's sources or the
    // source tree's.
    const std::string sdk = kvbasic::ChooseWebSdk(options.sdk);
    kvbasic::WebToolchain toolchain;
    std::string problem;
    const bool found = sdk.empty() ? kvbasic::PrepareWebRuntime(kvbasic::FindWebRuntimeSources(ChooseSdk("")), toolchain, problem)
                                   : kvbasic::FindWebToolchain(sdk, toolchain, problem);
    if (!found) return Fail(problem);

    StepTimer translating;
    kvbasic::TranslateResult result;
    if (!TranslateFile(options, "", result)) return 1;
    fs::path work;
    if (!MakeTemporaryFolder(work)) return Fail("cannot create a temporary folder");
    const fs::path cpp = work / (fs::path(options.source).stem().string() + ".cpp");
    int status = WriteFile(cpp.string(), result.code.program) ? 0 : Fail("cannot write " + cpp.string());
    std::string timings = translating.Report("translate");
    if (status == 0) {
        StepTimer building;
        kvbasic::WebProgram program;
        program.cpp = cpp.string();
        program.optimisation = OptimisationFor(options, Purpose::Build, result);
        program.media = media.string();
        program.output = folder;
        program.work = work.string();
        problem = kvbasic::BuildWebProgram(toolchain, program);
        if (!problem.empty()) status = Fail(problem);
        timings += building.Report("compile and link for the web");
    }
    if (options.timings) std::cerr << timings;
    std::error_code error;
    fs::remove_all(work, error);
    return status;
}

// Copies the report the profiled program wrote to stderr.
void ShowProfile(const fs::path& report)
{
    std::ifstream in(report, std::ios::binary);
    if (!in) {
        std::cerr << "kvbasic: the program left no profile: it was killed or crashed before its end\n";
        return;
    }
    std::cerr << "\n" << in.rdbuf();
    std::cerr.flush();
}

// Builds into a temporary folder and starts the program with the folder of
// its source (or --media) as its own: it finds its pictures and sounds
// there and the files it writes stay there. The program's exit code is
// kvbasic's.
int Run(const Options& options)
{
    fs::path programFolder = options.media.empty() ? fs::path(options.source).parent_path() : fs::path(options.media);
    if (programFolder.empty()) programFolder = ".";  // a source named without a folder
    std::error_code error;
    programFolder = fs::absolute(programFolder, error);
    if (error) return Fail("cannot find the program folder: " + error.message());
    if (!fs::is_directory(programFolder)) return Fail("the program folder " + programFolder.string() + " does not exist");
    fs::path folder;
    if (!MakeTemporaryFolder(folder)) return Fail("cannot create a temporary folder");
    const std::string program = (folder / fs::path(options.source).stem()).string();
    int status = Build(options, program, Purpose::Run);
    // The runtime writes the profile report here at its end; it is shown
    // after everything the program itself wrote.
    const fs::path profile = folder / "profile.txt";
    if (status == 0) {
        std::string command = "KV_PROGRAM_FOLDER=" + Quote(programFolder.lexically_normal().string()) + " ";
        if (options.profile) command += "KV_PROFILE=" + Quote(profile.string()) + " ";
        command += Quote(program);
        for (const std::string& argument : options.programArguments) {
            command += ' ';
            command += Quote(argument);
        }
        const int code = std::system(command.c_str());
        status = code == 0 ? 0 : WIFEXITED(code) && WEXITSTATUS(code) != 0 ? WEXITSTATUS(code) : 1;
        if (options.profile) ShowProfile(profile);
    }
    fs::remove_all(folder, error);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        auto value = [&](std::string& into) {
            if (k + 1 >= args.size()) return false;
            into = args[++k];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << kHelp;
            return 0;
        }
        if (arg == "--version") {
            std::cout << kVersion << "\n";
            return 0;
        }
        bool ok = true;
        if (arg == "-o") {
            ok = value(options.output);
        } else if (arg == "--header") {
            ok = value(options.header);
        } else if (arg == "--entry") {
            ok = value(options.entry);
        } else if (arg == "--depfile") {
            ok = value(options.depfile);
        } else if (arg == "--media") {
            ok = value(options.media);
        } else if (arg == "--sdk") {
            ok = value(options.sdk);
        } else if (arg == "--web") {
            options.web = true;
        } else if (arg == "--windows") {
            options.windows = true;
        } else if (arg == "--single-file") {
            options.singleFile = true;
        } else if (arg == "--profile") {
            options.profile = true;
        } else if (arg == "--timings") {
            options.timings = true;
        } else if (arg == "--stdio" && (options.command == "lsp" || options.command == "dap")) {
            // Clients of the protocol may name the transport; standard
            // input and output are the only one.
        } else if (arg == "--debug") {
            options.debug = true;
        } else if (arg == "--no-integer-paths") {
            options.integerPaths = false;
        } else if (arg == "-O0") {
            options.unoptimised = true;
        } else if (arg == "--file-number") {
            std::string number;
            ok = value(number) && !number.empty() && number.find_first_not_of("0123456789") == std::string::npos &&
                 number.size() < 6;
            if (ok) options.fileNumber = std::stoi(number);
        } else if (arg == "--") {
            options.programArguments.assign(args.begin() + k + 1, args.end());
            break;
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail("unknown option " + arg + " (see kvbasic --help)");
        } else if (options.command.empty()) {
            options.command = arg;
        } else if (options.source.empty()) {
            options.source = arg;
        } else {
            return Fail("unexpected argument " + arg + " (see kvbasic --help)");
        }
        if (!ok) return Fail("option " + arg + " needs a value");
    }
    if (options.command.empty()) return Fail("no command given (see kvbasic --help)");
    if (options.command == "lsp") {
        if (!options.source.empty()) return Fail("lsp takes no file: the editor sends the documents");
        // The messages are read byte by byte: without the C streams' sync.
        std::ios::sync_with_stdio(false);
        std::cin.tie(nullptr);
        const kvlsp::CommandReference reference(kvlsp::CommandReference::BuiltInMarkdown());
        return kvlsp::RunLanguageServer(std::cin, std::cout, std::cerr, reference);
    }
    if (options.command == "dap") {
        if (!options.source.empty()) return Fail("dap takes no file: the editor's launch request names the program");
        std::ios::sync_with_stdio(false);
        std::cin.tie(nullptr);
        return kvdap::RunDebugAdapterOnStandardStreams(options.sdk);
    }
    if (options.source.empty()) return Fail(options.command + " needs a .bas file (see kvbasic --help)");
    if (options.command == "translate") return Translate(options);
    if (options.web && options.command != "build") return Fail("--web goes with build only");
    if (options.windows && options.command != "build") return Fail("--windows goes with build only");
    if (options.windows && options.web) return Fail("--windows and --web do not go together");
    if (options.profile && options.command != "run") return Fail("--profile goes with run only");
    if (options.debug && options.command != "build") return Fail("--debug goes with translate and build only");
    if (options.debug && (options.web || options.windows)) return Fail("--debug builds for this machine only");
    if (options.command == "build" && options.windows) {
        const std::string folder = options.output.empty() ? fs::path(options.source).stem().string() : options.output;
        return BuildWindows(options, folder);
    }
    if (options.command == "build" && options.web) {
        if (options.singleFile) return Fail("--single-file and --web do not go together: a web page needs its files");
        const std::string folder = options.output.empty() ? fs::path(options.source).stem().string() : options.output;
        return BuildWeb(options, folder);
    }
    if (options.command == "build") {
        const std::string program = options.output.empty() ? fs::path(options.source).stem().string() : options.output;
        // For the debugger: as run builds it, the media left in their folder.
        return Build(options, program, options.debug ? Purpose::Run : Purpose::Build);
    }
    if (options.command == "run") return Run(options);
    return Fail("unknown command " + options.command + " (see kvbasic --help)");
}
