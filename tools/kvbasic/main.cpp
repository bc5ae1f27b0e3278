// kvbasic: translates programs of the BASIC dialect into C++ in generated
// form and builds them into native programs against the runtime.
//
//   kvbasic translate prog.bas [-o prog.cpp] [--header prog.h --entry main.cpp]
//   kvbasic build prog.bas [-o prog] [--media DIR] [--single-file] [--sdk DIR]
//   kvbasic run prog.bas [--media DIR] [--sdk DIR] [-- arguments...]
//
// Exit code 0 on success, 1 on any error.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "toolchain.h"
#include "translator.h"

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
    "  build FILE.bas       translate and compile into a program\n"
    "      -o PROGRAM         output program (default: FILE in the current folder)\n"
    "      --media DIR        copy the files of DIR beside the program\n"
    "      --single-file      pack the media into the program instead\n"
    "  run FILE.bas         build into a temporary folder and start the program\n"
    "      --media DIR        the program's media\n"
    "      -- ARGS...         arguments for the program\n"
    "\n"
    "Common options:\n"
    "  --sdk DIR            the runtime SDK to build against (also $KVBASIC_SDK);\n"
    "                       default: the SDK kvbasic is installed in, else the\n"
    "                       build tree it was built in\n"
    "  --help               show this text\n"
    "  --version            show the version\n"
    "\n"
    "Errors are reported as FILE.bas:LINE:COLUMN: error: MESSAGE, all of a file\n"
    "at once. Exit code 0 on success, 1 on any error.\n";

struct Options {
    std::string command;
    std::string source;
    std::string output;
    std::string header;
    std::string entry;
    std::string media;
    std::string sdk;
    bool singleFile = false;
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

bool ReadFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return true;
}

bool WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Translates the source; prints the errors and returns false when it has any.
bool TranslateFile(const Options& options, const std::string& headerName, kvbasic::TranslateResult& result)
{
    kvbasic::TranslateRequest request;
    if (!ReadFile(options.source, request.source)) {
        std::cerr << "kvbasic: cannot read " << options.source << "\n";
        return false;
    }
    request.sourceName = fs::path(options.source).filename().string();
    request.programName = fs::path(options.source).stem().string();
    request.headerName = headerName;
    request.fileNumber = options.fileNumber;
    result = kvbasic::Translate(request);
    for (const kvbasic::Diagnostic& error : result.errors)
        std::cerr << kvbasic::FormatDiagnostic(options.source, error) << "\n";
    if (!result.ok)
        std::cerr << "kvbasic: " << result.errors.size() << (result.errors.size() == 1 ? " error" : " errors")
                  << " in " << options.source << "\n";
    return result.ok;
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
std::string ChooseSdk(const Options& options)
{
    if (!options.sdk.empty()) return options.sdk;
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

// Translates and compiles into `program`, with the media beside it or in it.
int Build(const Options& options, const std::string& program)
{
    if (!options.media.empty() && !fs::is_directory(options.media))
        return Fail("the media folder " + options.media + " does not exist");
    const std::string sdk = ChooseSdk(options);
    const kvbasic::Toolchain toolchain = kvbasic::FindToolchain(sdk);
    if (!fs::exists(fs::path(toolchain.includeDir) / "commands.h"))
        return Fail("no runtime headers in " + toolchain.includeDir + " (use --sdk DIR or KVBASIC_SDK)");

    kvbasic::TranslateResult result;
    if (!TranslateFile(options, "", result)) return 1;
    fs::path work;
    if (!MakeTemporaryFolder(work)) return Fail("cannot create a temporary folder");
    const fs::path cpp = work / (fs::path(options.source).stem().string() + ".cpp");
    const fs::path compiled = options.singleFile ? work / "program" : fs::path(program);
    int status = 1;
    if (WriteFile(cpp.string(), result.code.program)) {
        std::string command = Quote(toolchain.compiler) + " -std=c++20 -O2";
        for (const std::string& flag : toolchain.compileFlags) command += " " + Quote(flag);
        command += " -I" + Quote(toolchain.includeDir) + " " + Quote(cpp.string()) + " -o " + Quote(compiled.string());
        command += " " + Quote(toolchain.libraryDir + "/libkvmain.a") + " " + Quote(toolchain.libraryDir + "/libkvruntime.a");
        command += " " + toolchain.linkFlags;
        status = std::system(command.c_str()) == 0 ? 0 : Fail("the C++ compiler failed on " + cpp.string());
    } else {
        status = Fail("cannot write " + cpp.string());
    }
    std::error_code error;
    if (status == 0) {
        const fs::path folder = fs::absolute(program).parent_path();
        std::vector<fs::path> media = options.media.empty() ? std::vector<fs::path>{} : MediaFiles(options.media);
        bool hasFont = false;
        for (const fs::path& file : media) hasFont = hasFont || file == "Smalfont.bmp";
        if (options.singleFile) {
            std::string command = Quote(toolchain.packer) + " append -o " + Quote(program) + " " + Quote(compiled.string());
            for (const fs::path& file : media)
                command += " " + Quote(file.generic_string() + "=" + (fs::path(options.media) / file).string());
            if (!hasFont) command += " " + Quote(toolchain.font);
            if (std::system(command.c_str()) != 0) status = Fail("packing the media into " + program + " failed");
        } else {
            for (const fs::path& file : media) {
                fs::create_directories((folder / file).parent_path(), error);
                fs::copy_file(fs::path(options.media) / file, folder / file, fs::copy_options::overwrite_existing, error);
                if (error) status = Fail("cannot copy " + file.string() + ": " + error.message());
            }
            if (!hasFont) {
                fs::copy_file(toolchain.font, folder / "Smalfont.bmp", fs::copy_options::overwrite_existing, error);
                if (error) status = Fail("cannot copy the default font " + toolchain.font + ": " + error.message());
            }
        }
    }
    fs::remove_all(work, error);
    return status;
}

int Run(const Options& options)
{
    fs::path folder;
    if (!MakeTemporaryFolder(folder)) return Fail("cannot create a temporary folder");
    const std::string program = (folder / fs::path(options.source).stem()).string();
    int status = Build(options, program);
    if (status == 0) {
        std::string command = Quote(program);
        for (const std::string& argument : options.programArguments) {
            command += ' ';
            command += Quote(argument);
        }
        status = std::system(command.c_str()) == 0 ? 0 : 1;
    }
    std::error_code error;
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
        } else if (arg == "--media") {
            ok = value(options.media);
        } else if (arg == "--sdk") {
            ok = value(options.sdk);
        } else if (arg == "--single-file") {
            options.singleFile = true;
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
    if (options.source.empty()) return Fail(options.command + " needs a .bas file (see kvbasic --help)");
    if (options.command == "translate") return Translate(options);
    if (options.command == "build") {
        const std::string program = options.output.empty() ? fs::path(options.source).stem().string() : options.output;
        return Build(options, program);
    }
    if (options.command == "run") return Run(options);
    return Fail("unknown command " + options.command + " (see kvbasic --help)");
}
