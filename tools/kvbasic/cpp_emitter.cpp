#include "cpp_emitter.h"

#include "build_size.h"
#include "tree_walk.h"
#include "whole_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <unordered_set>
#include <vector>

namespace kvbasic {

namespace {

// Names that would clash with C++ itself or with what commands.h declares
// or defines as macros; the program's names live in their own namespace,
// so other runtime names cannot clash.
const char* const kReservedNames[] = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break", "case", "catch",
    "char", "char8_t", "char16_t", "char32_t", "class", "compl", "concept", "const", "consteval", "constexpr",
    "constinit", "const_cast", "continue", "co_await", "co_return", "co_yield", "decltype", "default", "delete",
    "do", "double", "dynamic_cast", "else", "enum", "explicit", "export", "extern", "false", "float", "for",
    "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new", "noexcept", "not", "not_eq",
    "nullptr", "operator", "or", "or_eq", "private", "protected", "public", "register", "reinterpret_cast",
    "requires", "return", "short", "signed", "sizeof", "static", "static_assert", "static_cast", "struct",
    "switch", "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid", "typename",
    "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t", "while", "xor", "xor_eq", "final",
    "override", "import", "module",
    // Types and names the generated code uses unqualified.
    "KvStr", "KvIntArray", "KvStrArray", "kvprogram", "std",
    // Macros of the C and C++ libraries that commands.h may include.
    "NULL", "errno", "assert", "stdin", "stdout", "stderr", "EOF", "BUFSIZ", "EXIT_SUCCESS", "EXIT_FAILURE",
    "RAND_MAX", "INFINITY", "NAN", "HUGE_VAL", "HUGE_VALF", "HUGE_VALL", "offsetof", "setjmp", "va_arg",
    "va_start", "va_end", "va_copy", "unix", "linux", "i386", "math_errhandling", "FP_NAN", "FP_INFINITE",
    "FP_ZERO", "FP_NORMAL", "FP_SUBNORMAL", "MB_CUR_MAX", "CHAR_BIT", "INT_MAX", "INT_MIN", "UINT_MAX",
    "LONG_MAX", "LONG_MIN", "SIZE_MAX", "WEOF", "L_tmpnam", "TMP_MAX", "FILENAME_MAX", "FOPEN_MAX",
    "SEEK_SET", "SEEK_CUR", "SEEK_END", "CLOCKS_PER_SEC", "PTRDIFF_MAX", "SIG_ATOMIC_MAX",
};

// Every macro the runtime's headers define (generated at build time from
// the headers themselves): a program name equal to one would be replaced by
// the preprocessor.
const char* const kRuntimeMacros[] = {
#include "runtime_macros.inc"
};

// C++ keywords, the runtime's macros and the C++ functions of the commands
// (which the generated code calls unqualified, so a SUB or variable of that
// name in the program's namespace would hide them).
bool IsReserved(const std::string& name)
{
    static const std::unordered_set<std::string> reserved = [] {
        std::unordered_set<std::string> names(std::begin(kReservedNames), std::end(kReservedNames));
        names.insert(std::begin(kRuntimeMacros), std::end(kRuntimeMacros));
        for (int k = 0; k < kvcommands::kCommandCount; ++k) names.insert(kvcommands::kCommands[k].function);
        for (const char* used : {"END", "DIM", "IDIV", "KvStr", "KvIntArray", "KvStrArray", "KvDataItem", "KvReadNumber",
                                 "KvReadString", "KvArray", "KvFieldArray", "kvtypes"}) names.insert(used);
        return names;
    }();
    return reserved.count(name) != 0;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The C++ binding of an expression as the emitter writes it (from the
// operator table), loosest first.
int Precedence(const Expr& expr)
{
    if (expr.type == Expr::Type::Binary) return expr.op->cppLevel;
    if (expr.type == Expr::Type::Unary) return kUnaryCppLevel;
    return kAtomCppLevel;
}

bool IsComparison(const Expr& expr)
{
    return expr.type == Expr::Type::Binary && expr.op->kind == BinaryOperator::Kind::Comparison;
}

class Emitter {
public:
    Emitter(const Program& program, const CheckedProgram& checked, const EmitOptions& options)
        : program_(program), checked_(checked), options_(options)
    {
        if (options_.integerPaths) wholeNumbers_ = std::make_unique<WholeNumbers>(program_, checked_);
    }

    GeneratedCode Run()
    {
        GeneratedCode code;
        std::size_t statements = 0;
        for (const Unit& unit : program_.units) statements += static_cast<std::size_t>(StatementCount(unit));
        const bool inParts = options_.partStatements > 0 && statements > static_cast<std::size_t>(options_.partStatements);
        // In parts, the texts and DATA are shared: extern, not private to one file.
        const std::string shared = inParts ? "extern " : "";
        // DATA first: READ and RESTORE in the functions need its numbering.
        std::string data;
        EmitData(data, shared);
        const std::vector<EmittedFunction> functions = EmitFunctions(code);
        // A program in parts has its header even without --header: the
        // parts declare what they share through it.
        const std::string headerName = inParts && options_.headerName.empty() ? options_.partHeaderName : options_.headerName;
        const bool split = !headerName.empty();
        std::string& out = code.program;
        out += "// Generated by kvbasic from " + options_.sourceName +
               ". Do not edit: change the BASIC source and translate it again.\n";
        out += "#include \"commands.h\"\n";
        if (options_.debug) out += "#include \"debug/debug_trap.h\"\n";
        out += "\nnamespace kvprogram {\n\n";
        out += "// The program's variables: globals, 0 or \"\" until assigned.\n";
        for (const auto& [name, variable] : checked_.variables)
            if (!variable.isConst) out += Declaration(name, variable) + ";\n";
        out += Records("");
        if (options_.debug) out += DebugTypes(false);
        if (!checked_.texts.empty()) out += "\n// The constant texts of the program, in Latin-1.\n";
        for (std::size_t k = 0; k < checked_.texts.size(); ++k)
            out += shared + "const KvStr __text_" + std::to_string(k) + " = " + CppStringLiteral(checked_.texts[k]) + ";\n";
        EmitConstants(out);
        out += data;
        EmitSelectValues(out);
        out += "\n";
        for (const EmittedFunction& function : functions) out += function.signature + ";\n";
        if (inParts) {
            for (std::size_t begin = 0; begin < functions.size();) {
                std::string part = "// Generated by kvbasic from " + options_.sourceName + ": part " +
                                   std::to_string(code.parts.size() + 1) + " of its functions. Do not edit.\n";
                // commands.h first: a precompiled runtime header is used only there.
                part += "#include \"commands.h\"\n#include \"" + headerName + "\"\n\nnamespace kvprogram {\n";
                std::size_t size = 0;
                for (; begin < functions.size() && (size == 0 || size + functions[begin].statements <=
                                                                     static_cast<std::size_t>(options_.partStatements));
                     ++begin) {
                    part += functions[begin].code;
                    size += functions[begin].statements;
                }
                part += "\n}  // namespace kvprogram\n";
                code.parts.push_back(std::move(part));
            }
        } else {
            for (const EmittedFunction& function : functions) out += function.code;
        }
        out += SourceTable();
        if (options_.debug) out += DebugGlobals();
        out += "\n}  // namespace kvprogram\n";

        if (split) {
            std::string& header = code.header;
            header += "// Generated by kvbasic from " + options_.sourceName +
                      ": the globals and SUBs of the program. Do not edit.\n";
            header += "#pragma once\n\n#include \"commands.h\"\n";
            if (options_.debug) header += "#include \"debug/debug_trap.h\"\n";
            header += "\nnamespace kvprogram {\n\n";
            for (const auto& [name, variable] : checked_.variables)
                header += "extern " + std::string(variable.isConst ? "const " : "") + Declaration(name, variable) + ";\n";
            header += Records("extern ");
            if (options_.debug) header += DebugTypes(true);
            if (inParts) header += SharedDeclarations();
            header += "\n";
            for (const EmittedFunction& function : functions)
                if (inParts || function.ofTheProgram) header += function.signature + ";\n";
            header += "\n}  // namespace kvprogram\n\nusing namespace kvprogram;\n";
        }
        if (!options_.headerName.empty()) {
            code.entry = "// Generated by kvbasic from " + options_.sourceName +
                         ": the program's entry point with its configuration. Do not edit.\n";
            code.entry += "#include \"" + options_.headerName + "\"\n";
            code.entry += WinMain();
        } else {
            out += WinMain();
        }
        return code;
    }

private:
    static std::string Declaration(const std::string& name, const Variable& variable)
    {
        const char* type = variable.isArray ? (variable.isString ? "KvStrArray" : "KvIntArray")
                                            : (variable.isString ? "KvStr" : "double");
        return std::string(type) + " " + CppName(name);
    }

    // The program's TYPEs, one struct each in their own namespace (so that
    // no name of the program hides them), and its records as globals; ""
    // for a program without TYPEs. `prefix` is "extern " for the header.
    std::string Records(const std::string& prefix) const
    {
        if (checked_.types.empty()) return "";
        std::string out = "\n// The program's TYPEs: a struct each, zero when new.\nnamespace kvtypes {\n";
        for (const RecordType& type : checked_.types) {
            out += "struct " + CppName(type.name) + " {\n";
            for (const RecordField& field : type.fields) {
                std::string cppType = field.isString ? "KvStr" : "double";
                if (!field.sizes.empty()) {
                    cppType = "KvFieldArray<" + cppType;
                    for (const int size : field.sizes) cppType += ", " + std::to_string(size);
                    cppType += ">";
                }
                out += "    " + cppType + " " + CppName(field.name) + ";\n";
            }
            out += "};\n";
        }
        out += "}  // namespace kvtypes\n";
        if (!checked_.records.empty()) out += "\n// The program's records and arrays of records.\n";
        for (const auto& [name, record] : checked_.records) {
            const std::string type = "kvtypes::" + CppName(checked_.types[record.type].name);
            out += prefix + (record.isArray ? "KvArray<" + type + ">" : type) + " " + CppName(name) + ";\n";
        }
        return out;
    }

    static std::string FunctionName(const Function& function)
    {
        return function.name.empty() ? "__MainGameSub_" : CppName(function.name);
    }

    // The C++ type of a FUNCTION's value.
    static const char* ResultType(const Function& function)
    {
        return !function.isFunction ? "void" : EndsWith(function.name, "$") ? "KvStr" : "double";
    }

    // "double Area(double w, double h)": numbers and strings by value,
    // arrays and records by reference. The definition's parameters may go unused.
    std::string Signature(const Function& function, bool definition = false) const
    {
        std::string code = std::string(ResultType(function)) + " " + FunctionName(function) + "(";
        for (std::size_t k = 0; k < function.parameters.size(); ++k) {
            const std::string& name = function.parameters[k];
            const Variable& variable = function.scope.at(name);
            code += k ? ", " : "";
            if (definition) code += "[[maybe_unused]] ";
            if (const auto record = function.records.find(name); record != function.records.end()) {
                const std::string type = "kvtypes::" + CppName(checked_.types[record->second.type].name);
                code += (record->second.isArray ? "KvArray<" + type + ">& " : type + "& ") + CppName(name);
                continue;
            }
            code += variable.isArray ? std::string(variable.isString ? "KvStrArray& " : "KvIntArray& ") + CppName(name)
                                     : Declaration(name, variable);
        }
        return code + ")";
    }

    // What a FUNCTION gives back when it ends without RETURN value.
    static std::string DefaultResult(const Function& function)
    {
        return EndsWith(function.name, "$") ? "KvStr()" : "0";
    }

    // The program's CONSTs, in source order (a constant may use those of
    // earlier lines); extern, so that the header can declare them.
    void EmitConstants(std::string& out)
    {
        bool first = true;
        for (const Line& line : program_.lines) {
            for (const auto& statement : line.statements) {
                if (statement->type != Statement::Type::Const) continue;
                if (first) out += "\n// The program's constants.\n";
                first = false;
                const std::string& name = statement->target->text;
                out += "extern const " + Declaration(name, checked_.variables.at(name)) + " = " + Value(*statement->value) + ";\n";
            }
        }
    }

    // The DATA items of the whole program in source order, with the index
    // of the next one READ takes; only for programs that use them.
    void EmitData(std::string& out, const std::string& shared)
    {
        std::string items;
        lineData_.assign(program_.lines.size() + 1, 0);
        for (const Line& line : program_.lines) {
            lineData_[line.index] = dataCount_;
            for (const auto& statement : line.statements) {
                usesData_ = usesData_ || ReadsData(*statement);
                if (statement->type != Statement::Type::Data) continue;
                for (const auto& item : statement->items) {
                    if (item->type == Expr::Type::String)
                        items.append("{0, ").append(CppStringLiteral(item->text)).append("}, ");
                    else
                        items.append("{").append(Number(*item)).append(", nullptr}, ");
                    ++dataCount_;
                }
            }
        }
        lineData_[program_.lines.size()] = dataCount_;
        if (!usesData_) return;
        out += "\n// The program's DATA items, in source order, and the next one READ takes.\n";
        out += shared + "const KvDataItem __data[] = {" + items + "{0, nullptr}};\n";
        out += "int __dataNext = 0;\n";
    }

    static bool ReadsData(const Statement& statement)
    {
        if (statement.type == Statement::Type::Read || statement.type == Statement::Type::Restore) return true;
        for (const Statement* branch : {statement.then.get(), statement.otherwise.get()})
            if (branch != nullptr && ReadsData(*branch)) return true;
        for (const auto& each : statement.body)
            if (ReadsData(*each)) return true;
        return false;
    }

    // The value of each SELECT CASE, held for its CASEs (globals, or locals
    // at the top of a SUB or FUNCTION, so that a GOTO may enter or leave a
    // SELECT block).
    void EmitSelectValues(std::string& out)
    {
        std::string values;
        DeclareSelectValues(checked_.functions[0], "", values);
        if (!values.empty()) out += "\n// The values of the SELECT CASE statements.\n" + values;
    }

    // The values of the SELECTs of the main program are globals; those of a
    // SUB or FUNCTION belong to its call, so that a call of itself from a
    // CASE cannot change them.
    void DeclareSelectValues(const Function& function, const std::string& indent, std::string& out) const
    {
        for (int index = function.firstLine; index <= function.lastLine; ++index) {
            for (const auto& statement : program_.lines[index].statements) {
                if (statement->type != Statement::Type::Select) continue;
                const bool isString = checked_.selectIsString[statement->selectId];
                out += indent + (isString ? "KvStr" : "double") + " __select_" + std::to_string(statement->selectId) +
                       (isString || indent.empty() ? ";\n" : " = 0;\n");
            }
        }
    }

    // The condition of a CASE: any of its cases matches the SELECT's value.
    std::string CaseCondition(const Statement& statement)
    {
        const bool isString = checked_.selectIsString[statement.selectId];
        const std::string value = "__select_" + std::to_string(statement.selectId);
        auto compare = [&](const char* op, const Expr& other) {
            return isString ? value + ".Compare(" + Emit(other) + ") " + op + " 0"
                            : value + " " + op + " (" + Number(other) + ")";
        };
        std::string code;
        for (const auto& item : statement.cases) {
            std::string one = item.is ? compare(item.is->cpp, *item.value)
                              : item.to ? compare(">=", *item.value) + " && " + compare("<=", *item.to)
                                        : compare("==", *item.value);
            if (statement.cases.size() > 1) one = "(" + one + ")";
            code += (code.empty() ? "" : " || ") + one;
        }
        return code;
    }

    // SELECT CASE value: the value is kept, each CASE compares it, in an
    // if / else if chain (CASE ELSE: the last else).
    void EmitSelect(const Node& node, std::string& out)
    {
        const Statement& statement = *node.statement;
        Put(out, depth_, LineOf(node), "__select_" + std::to_string(statement.selectId) + " = " + Value(*statement.value) + ";");
        EmitBody(node.body, out);
        for (std::size_t k = 0; k < node.branches.size(); ++k) {
            const Node& arm = node.branches[k];
            StartLine(arm.line, arm.statement, out);
            EmitCase(LineOf(arm), *arm.statement, k == 0, out);
            EmitBody(arm.body, out);
        }
        StartLine(node.endLine, node.end, out);
        Put(out, depth_, LineOf(node.endLine), "");
        if (!node.branches.empty()) out += Indent(--depth_) + "}\n";
    }

    void EmitCase(const Line& line, const Statement& statement, bool first, std::string& out)
    {
        if (statement.cases.empty()) {  // CASE ELSE
            if (first) {
                Put(out, depth_, line, "{");
                ++depth_;
            } else {
                out += Indent(depth_ - 1) + "} else {\n";
                Put(out, depth_, line, "");
            }
            return;
        }
        if (first) {
            Put(out, depth_, line, "if (" + CaseCondition(statement) + ") {");
            ++depth_;
        } else {
            out += Indent(depth_ - 1) + "} else if (" + CaseCondition(statement) + ") {\n";
            Put(out, depth_, line, "");
        }
    }

    // The index of the first DATA item at or after the label's line.
    int DataIndexOf(const std::string& label) const
    {
        for (const Line& line : program_.lines)
            if (line.label == label) return lineData_[line.index];
        return dataCount_;
    }

    std::string ReadInto(const Expr& target)
    {
        const char* reader = target.isString ? "KvReadString" : "KvReadNumber";
        return Target(target) + " = " + reader + "(__data, " + std::to_string(dataCount_) + ", __dataNext);";
    }

    std::string WinMain() const
    {
        const Configuration& config = checked_.configuration;
        const std::string caption = config.caption.empty() ? options_.programName : config.caption;
        std::string out;
        out += "\nint WinMain(void* hInstance, void* hPrevInstance, char* lpCmdLine, int nCmdShow)\n{\n";
        // Qualified: the program's own names (a variable g_error, say) may be
        // visible here through the header's using-directive.
        out += "    ::g_cmdline = lpCmdLine;\n";
        out += "    ::KV_RESX = " + std::to_string(config.resX) + ";\n";
        out += "    ::KV_RESY = " + std::to_string(config.resY) + ";\n";
        out += "    ::KV_FULLSCREEN = " + std::to_string(config.fullscreen) + ";\n";
        out += "    ::KV_FRAMERATE = " + std::to_string(config.frameRate) + ";\n";
        out += "    ::KV_DEBUG = " + std::to_string(config.debug) + ";\n";
        out += "    ::KV_WANTMOUSE = " + std::to_string(config.wantMouse) + ";\n";
        out += "    ::__GlobalInit(hInstance, hPrevInstance, ::g_cmdline.GetStrData(), nCmdShow, " +
               CppStringLiteral(caption) + ");\n";
        out += "    ::g_my = 100;\n    ::g_mx = 100;\n    ::g_errorline = 0;\n    ::g_error = 0;\n    ::g_debugline = 0;\n";
        if (options_.debug) out += "    ::__DebugStart();\n";
        out += "    kvprogram::__MainGameSub_();\n    return 0;\n}\n";
        return out;
    }

    // A variable's entry in the debugger's tables (runtime/debug/debug_tables.h).
    std::string DebugEntry(const std::string& name, const Variable& variable, const Record* record) const
    {
        const std::string address = "&" + CppName(name);
        if (record != nullptr) {
            const std::string type = CppName(checked_.types[record->type].name);
            if (record->isArray)
                return "{" + CppStringLiteral(name) + ", KvDebugKind::Records, " + address + ", &__debug_type_" + type +
                       ", &KvDebugArrayOf<kvtypes::" + type + ">}";
            return "{" + CppStringLiteral(name) + ", KvDebugKind::Record, " + address + ", &__debug_type_" + type + ", nullptr}";
        }
        if (variable.isArray)
            return "{" + CppStringLiteral(name) + ", KvDebugKind::" + (variable.isString ? "Strings" : "Numbers") + ", " + address +
                   ", nullptr, &KvDebugArrayOf<" + (variable.isString ? "KvStr" : "double") + ">}";
        return "{" + CppStringLiteral(name) + ", KvDebugKind::" + (variable.isString ? "String" : "Number") + ", " + address +
               ", nullptr, nullptr}";
    }

    // Each TYPE as the debugger sees it: its fields and a function that
    // gives the address of field k of a record (no offsetof: a struct of
    // KvStr fields is no standard-layout type). `declarations`: only what
    // the header declares.
    std::string DebugTypes(bool declarations) const
    {
        if (checked_.types.empty()) return "";
        std::string out = "\n// The TYPEs as the debugger sees them.\n";
        for (const RecordType& type : checked_.types) {
            const std::string name = CppName(type.name);
            if (declarations) {
                out += "extern const KvDebugType __debug_type_" + name + ";\n";
                continue;
            }
            out += "static void* __debug_field_" + name + "(void* record, int k)\n{\n";
            out += "    [[maybe_unused]] kvtypes::" + name + "& r = *static_cast<kvtypes::" + name + "*>(record);\n";
            out += "    switch (k) {\n";
            std::string fields;
            for (std::size_t k = 0; k < type.fields.size(); ++k) {
                const RecordField& field = type.fields[k];
                out += "    case " + std::to_string(k) + ": return &r." + CppName(field.name) + (field.sizes.empty() ? "" : ".data[0]") + ";\n";
                std::string sizes = "nullptr";
                if (!field.sizes.empty()) sizes = "__debug_sizes_" + name + "_" + std::to_string(k);
                const char* kind = field.sizes.empty() ? (field.isString ? "String" : "Number") : (field.isString ? "Strings" : "Numbers");
                fields += std::string(fields.empty() ? "" : ",\n    ") + "{" + CppStringLiteral(field.name) + ", KvDebugKind::" + kind +
                          ", " + std::to_string(field.sizes.size()) + ", " + sizes + "}";
            }
            out += "    }\n    return nullptr;\n}\n";
            for (std::size_t k = 0; k < type.fields.size(); ++k) {
                const RecordField& field = type.fields[k];
                if (field.sizes.empty()) continue;
                std::string list;
                for (const int size : field.sizes) list += (list.empty() ? "" : ", ") + std::to_string(size);
                out += "static const std::int32_t __debug_sizes_" + name + "_" + std::to_string(k) + "[] = {" + list + "};\n";
            }
            if (!type.fields.empty()) out += "static const KvDebugField __debug_fields_" + name + "[] = {\n    " + fields + "};\n";
            out += "extern const KvDebugType __debug_type_" + name + " = {" + CppStringLiteral(type.name) + ", " +
                   (type.fields.empty() ? "nullptr" : "__debug_fields_" + name) + ", " + std::to_string(type.fields.size()) +
                   ", __debug_field_" + name + "};\n";
        }
        return out;
    }

    // The globals and records of the program, handed to the debugger once
    // at start-up (constants are left out: they cannot change).
    std::string DebugGlobals() const
    {
        std::string entries;
        int count = 0;
        for (const auto& [name, variable] : checked_.variables) {
            if (variable.isConst) continue;
            entries += "    " + DebugEntry(name, variable, nullptr) + ",\n";
            ++count;
        }
        for (const auto& [name, record] : checked_.records) {
            entries += "    " + DebugEntry(name, Variable{}, &record) + ",\n";
            ++count;
        }
        std::string out = "\n// The globals, for the debugger.\nnamespace {\n";
        if (count > 0) out += "const KvDebugVariable __debug_globals[] = {\n" + entries + "};\n";
        out += "const KvDebugProgram __debug_program = {" + std::string(count > 0 ? "__debug_globals" : "nullptr") + ", " +
               std::to_string(count) + "};\n";
        out += "const bool __debug_program_set = (::__SetDebugProgram(&__debug_program), true);\n}  // namespace\n";
        return out;
    }

    // The parameters and LOCALs of a SUB or FUNCTION, listed for the
    // debugger for the time of its call.
    std::string DebugScope(const Function& function) const
    {
        std::string entries;
        for (const std::vector<std::string>* names : {&function.parameters, &function.locals}) {
            for (const std::string& name : *names) {
                const auto record = function.records.find(name);
                entries += std::string(entries.empty() ? "" : ",\n        ") +
                           DebugEntry(name, function.scope.at(name), record == function.records.end() ? nullptr : &record->second);
            }
        }
        if (entries.empty()) return "    ::__DebugScope __debug_scope(nullptr, 0);\n";
        return "    const KvDebugVariable __debug_locals[] = {\n        " + entries +
               "};\n    ::__DebugScope __debug_scope(__debug_locals, sizeof __debug_locals / sizeof __debug_locals[0]);\n";
    }

    // The program's source lines, handed to the runtime once at start-up
    // and read only when a runtime error ends the program, to show the line.
    // Each file's lines in its own order; the main file's are
    // __source_lines, an included file's __source_lines_N.
    std::string SourceTable() const
    {
        const std::size_t fileCount = std::max<std::size_t>(program_.files.size(), 1);
        std::vector<std::vector<const Line*>> fileLines(fileCount);
        for (const Line& line : program_.lines)
            if (static_cast<std::size_t>(line.file) < fileCount) fileLines[line.file].push_back(&line);
        std::string out = "\n// The source lines, for the message of a runtime error that ends the program.\nnamespace {\n";
        std::string files;
        for (std::size_t file = 0; file < fileCount; ++file) {
            std::sort(fileLines[file].begin(), fileLines[file].end(),
                      [](const Line* a, const Line* b) { return a->fileLine < b->fileLine; });
            const std::string array = "__source_lines" + (file == 0 ? std::string() : "_" + std::to_string(file));
            out += "const char* const " + array + "[] = {\n";
            for (const Line* line : fileLines[file]) out += "    " + CppStringLiteral(line->text) + ",\n";
            if (fileLines[file].empty()) out += "    \"\",\n";
            out += "};\n";
            const std::string name = file == 0 ? options_.sourceName : program_.files[file].name;
            files += std::string(file == 0 ? "" : ",\n    ") + "{" + std::to_string(options_.fileNumber + static_cast<int>(file)) +
                     ", " + CppStringLiteral(name) + ", " + array + ", " + std::to_string(fileLines[file].size()) + "}";
        }
        out += "const KvSourceFile __source_files[] = {" + files + "};\n";
        out += "const bool __source_files_set = (::__SetSourceFiles(__source_files, " + std::to_string(fileCount) +
               "), true);\n}  // namespace\n";
        return out;
    }

    // One C++ function of the generated code: its signature, its
    // definition and the statements it holds (which decide its part).
    struct EmittedFunction {
        std::string signature;
        std::string code;
        std::size_t statements = 0;
        bool ofTheProgram = true;  // the main program, a SUB or a FUNCTION; false: a piece of the main program
    };

    // The program's functions in order: the main program (perhaps with its
    // pieces), then each SUB and FUNCTION.
    std::vector<EmittedFunction> EmitFunctions(GeneratedCode& code)
    {
        std::vector<EmittedFunction> functions;
        EmitMainProgram(functions, code);
        for (std::size_t k = 1; k < checked_.functions.size(); ++k) {
            const Function& function = checked_.functions[k];
            EmittedFunction emitted{Signature(function), "", static_cast<std::size_t>(StatementCount(program_.units[k].root)), true};
            EmitFunction(function, program_.units[k], emitted.code);
            code.longestFunctionLines = std::max(code.longestFunctionLines, function.lastLine - function.firstLine + 1);
            functions.push_back(std::move(emitted));
        }
        return functions;
    }

    // The main program: one function; a long one is __MainGameSub_ calling
    // its pieces in order, __MainGameSub_1, __MainGameSub_2 ..., each a
    // function of its own, since the compiler's work on one function grows
    // much faster than its length. The pieces run as the one function
    // would: the main program has no locals and no RETURN, and no GOTO
    // leaves its piece.
    void EmitMainProgram(std::vector<EmittedFunction>& functions, GeneratedCode& code)
    {
        const Function& main = checked_.functions[0];
        const Unit& unit = program_.units[0];
        const std::vector<MainPiece> pieces = SplitMainProgram(program_, checked_);
        if (pieces.size() <= 1) {
            EmittedFunction emitted{Signature(main), "", static_cast<std::size_t>(StatementCount(unit)), true};
            EmitFunction(main, unit, emitted.code);
            code.longestFunctionLines = std::max(code.longestFunctionLines, main.lastLine - main.firstLine + 1);
            functions.push_back(std::move(emitted));
            return;
        }
        functions.push_back({Signature(main), "", 1, true});
        std::string calls;
        currentFunction_ = &main;
        depth_ = 1;
        currentLine_ = -1;
        const std::vector<Node>& body = unit.root.body;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const MainPiece& piece = pieces[k];
            const std::string name = "__MainGameSub_" + std::to_string(k + 1);
            EmittedFunction emitted{"void " + name + "()", "", static_cast<std::size_t>(piece.statements), false};
            emitted.code = "\n" + emitted.signature + "\n{\n";
            for (std::size_t node = piece.begin; node < piece.end; ++node) EmitNode(body[node], emitted.code);
            emitted.code += "}\n";
            const int nextLine = piece.end < body.size() ? body[piece.end].line : main.lastLine + 1;
            code.longestFunctionLines = std::max(code.longestFunctionLines, nextLine - body[piece.begin].line);
            calls += "    " + name + "();\n";
            functions.push_back(std::move(emitted));
        }
        // The main program ends the program when it runs off its end.
        functions[0].code = "\n" + Signature(main, true) + "\n{\n" + calls + "    END();\n}\n";
    }

    // What the parts of a program share besides its variables and
    // constants: the texts, the DATA and the values of the main program's
    // SELECT CASEs.
    std::string SharedDeclarations() const
    {
        std::string out = "\n// The texts, DATA and SELECT CASE values the parts share.\n";
        for (std::size_t k = 0; k < checked_.texts.size(); ++k) out += "extern const KvStr __text_" + std::to_string(k) + ";\n";
        if (usesData_) out += "extern const KvDataItem __data[];\nextern int __dataNext;\n";
        const Function& main = checked_.functions[0];
        for (int index = main.firstLine; index <= main.lastLine; ++index)
            for (const auto& statement : program_.lines[index].statements)
                if (statement->type == Statement::Type::Select)
                    out += std::string("extern ") + (checked_.selectIsString[statement->selectId] ? "KvStr" : "double") +
                           " __select_" + std::to_string(statement->selectId) + ";\n";
        return out;
    }

    void EmitFunction(const Function& function, const Unit& unit, std::string& out)
    {
        out += "\n" + Signature(function, true) + "\n{\n";
        currentFunction_ = &function;
        callsTheProgram_ = false;
        const std::size_t top = out.size();
        // LOCALs are C++ locals of the call, at the top so that no jump
        // crosses their start.
        for (const std::string& name : function.locals) {
            const Variable& variable = function.scope.at(name);
            out += "    [[maybe_unused]] " + Declaration(name, variable) + (variable.isArray || variable.isString ? ";\n" : " = 0;\n");
        }
        if (!function.name.empty()) DeclareSelectValues(function, "    ", out);
        if (options_.debug && !function.name.empty()) out += DebugScope(function);
        depth_ = 1;
        currentLine_ = -1;
        if (unit.root.statement != nullptr) {  // SUB or FUNCTION: its line reports
            StartLine(unit.root.line, unit.root.statement, out);
            Put(out, depth_, LineOf(unit.root), "");
        }
        EmitBody(unit.root.body, out);
        if (unit.root.end != nullptr) {
            StartLine(unit.root.endLine, unit.root.end, out);
            Put(out, depth_, LineOf(unit.root.endLine), "");
        }
        // The main program ends the program when it runs off its end.
        if (function.name.empty()) out += "    END();\n";
        if (function.isFunction) out += "    return " + DefaultResult(function) + ";\n";
        out += "}\n";
        // Every SUB and FUNCTION enters the runtime's stack of calls, so that
        // a runtime error shows how the program got there. One that calls
        // others also checks its depth: recursion too deep ends the program
        // with an error on the line of the call, not with a crash. One that
        // calls none cannot nest deeper than its caller's check allowed (that
        // check keeps stack in reserve for it).
        if (!function.name.empty()) {
            const std::string callee = CppStringLiteral((function.isFunction ? "FUNCTION " : "SUB ") + function.name);
            out.insert(top, std::string("    ") + (callsTheProgram_ ? "__CallDepthGuard" : "__CallFrame") + " __depth(" + callee + ");\n");
        }
    }

    std::string Indent(int depth) const { return std::string(4 * std::max(depth, 0), ' '); }

    std::string Report(const Line& line) const
    {
        std::string report = "__dLn(" + std::to_string(options_.fileNumber + line.file) + ", " + std::to_string(line.fileLine) + ");";
        // The debugger's check: one decrement and one branch a report.
        if (options_.debug) report += " if (--::g_debugCountdown < 0) [[unlikely]] ::__DebugTrap();";
        return report;
    }

    static std::string Comment(const Line& line)
    {
        std::string text = line.text;
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string::npos) return "";
        text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
        // A backslash at the end of a comment would continue it onto the next line.
        if (text.back() == '\\') text += '.';
        // "??" followed by a trigraph character would draw a compiler warning.
        for (std::size_t at = text.find("??"); at != std::string::npos; at = text.find("??", at + 2)) text.insert(at + 1, 1, ' ');
        return "  // " + text;
    }

    // One statement with its __dLn; the source line follows as a comment
    // on the first statement of the line only.
    void Put(std::string& out, int depth, const Line& line, const std::string& code)
    {
        out += Indent(depth) + Report(line) + (code.empty() ? "" : "  " + code) + (commentPending_ ? Comment(line) : "") + "\n";
        commentPending_ = false;
    }

    // A comment or blank line reports nothing: the line of the last
    // statement stays current, and the loops around it keep no store that
    // only such a line would need.
    void PutWithoutReport(std::string& out, int depth, const Line& line)
    {
        const std::string comment = Comment(line);
        if (!comment.empty()) out += Indent(depth) + comment.substr(2) + "\n";
    }

    const Line& LineOf(int index) const { return program_.lines[index]; }
    const Line& LineOf(const Node& node) const { return program_.lines[node.line]; }

    // Before the first statement of a line: its label, where a jump lands,
    // and the source line as the comment of its first report.
    void StartLine(int index, const Statement* first, std::string& out)
    {
        if (index == currentLine_) return;
        currentLine_ = index;
        commentPending_ = true;
        const Line& line = LineOf(index);
        if (!line.label.empty() && currentFunction_->jumpTargets.count(line.label)) out += Label(line.label, first);
    }

    void EmitBody(const std::vector<Node>& body, std::string& out)
    {
        for (const Node& node : body) EmitNode(node, out);
    }

    // One node of the tree: a block by its kind, else a statement.
    void EmitNode(const Node& node, std::string& out)
    {
        StartLine(node.line, node.statement, out);
        const Line& line = LineOf(node);
        if (node.statement == nullptr) {
            // A labelled line keeps its report: a jump lands on it.
            if (!line.label.empty())
                Put(out, depth_, line, "");
            else
                PutWithoutReport(out, depth_, line);
            return;
        }
        if (!node.isBlock) {
            EmitStatement(line, *node.statement, out);
            return;
        }
        using T = Statement::Type;
        switch (node.statement->type) {
        case T::IfBlock: EmitIf(node, out); break;
        case T::For: EmitFor(node, out); break;
        case T::While: EmitLoop(node, "while (" + Condition(*node.statement->cond) + ") {", out); break;
        case T::Repeat: EmitLoop(node, "do {", out); break;
        case T::Select: EmitSelect(node, out); break;
        case T::Type: EmitType(node, out); break;
        default: break;
        }
    }

    // IF ... ELSEIF ... ELSE ... ENDIF: each ELSEIF opens an if inside the
    // else before it, so ENDIF closes one brace more per ELSEIF.
    void EmitIf(const Node& node, std::string& out)
    {
        Put(out, depth_, LineOf(node), "if (" + Condition(*node.statement->cond) + ") {");
        ++depth_;
        EmitBody(node.body, out);
        int elseIfs = 0;
        for (const Node& branch : node.branches) {
            StartLine(branch.line, branch.statement, out);
            out += Indent(depth_ - 1) + "} else {\n";
            if (branch.statement->type == Statement::Type::ElseIf) {
                Put(out, depth_, LineOf(branch), "if (" + Condition(*branch.statement->cond) + ") {");
                ++depth_;
                ++elseIfs;
            } else {
                Put(out, depth_, LineOf(branch), "");
            }
            EmitBody(branch.body, out);
        }
        StartLine(node.endLine, node.end, out);
        for (int k = 0; k <= elseIfs; ++k) out += Indent(--depth_) + "}\n";
        Put(out, depth_, LineOf(node.endLine), "");
    }

    void EmitFor(const Node& node, std::string& out)
    {
        const Statement* statement = node.statement;
        if (const WholeLoop* loop = wholeNumbers_ ? wholeNumbers_->LoopOf(statement) : nullptr) {
            EmitWholeFor(node, *loop, out);
            return;
        }
        const std::string var = CppName(statement->target->text);
        const std::string from = Number(*statement->from);
        const std::string to = Number(*statement->to);
        std::string head;
        if (!statement->step) {
            head = "for (" + var + " = " + from + "; " + var + " <= " + to + "; " + var + " = " + var + " + 1) {";
        } else {
            const std::string step = Number(*statement->step);
            const int sign = LiteralSign(*statement->step);
            std::string test = sign > 0   ? var + " <= " + to
                               : sign < 0 ? var + " >= " + to
                                          : "(" + step + " >= 0 ? " + var + " <= " + to + " : " + var + " >= " + to + ")";
            // A negative literal step counts down: v = v - 2 rather than v = v + -2.
            const std::string advance =
                sign < 0 ? " - " + Number(*statement->step->children[0]) : " + " + Parenthesized(*statement->step, step);
            head = "for (" + var + " = " + from + "; " + test + "; " + var + " = " + var + advance + ") {";
        }
        EmitLoop(node, head, out);
    }

    // A FOR whose counter is proven whole: it counts in a 64-bit integer,
    // the BASIC variable takes its value at the start of every round and
    // once more after the loop (the value that ended it), so every command
    // and every later line sees the double it always saw. The bound and
    // the step, which nothing in the body can change, are read once.
    void EmitWholeFor(const Node& node, const WholeLoop& loop, std::string& out)
    {
        const Statement* statement = node.statement;
        const std::string var = CppName(statement->target->text);
        const std::string counter = "__whole_" + var;
        const bool up = loop.step.lo > 0;
        const std::string to = loop.to.IsWhole() ? WholeCode(*statement->to) : Number(*statement->to);
        const std::string last = "__last_" + var;
        std::string head = "{ std::int64_t " + counter + " = " + WholeCode(*statement->from) + "; const " +
                           (loop.to.IsWhole() ? "std::int64_t " : "double ") + last + " = " + to + "; ";
        const std::string compared = loop.to.IsWhole() ? counter : "double(" + counter + ")";
        std::string advance = "++" + counter;
        if (statement->step) {
            const std::string step = WholeCode(*statement->step);
            if (LiteralSign(*statement->step) < 0) {
                advance = counter + " -= " + WholeCode(*statement->step->children[0]);
            } else if (statement->step->type == Expr::Type::Number) {
                advance = counter + " += " + step;
            } else {
                head += "const std::int64_t __step_" + var + " = " + step + "; ";
                advance = counter + " += __step_" + var;
            }
        }
        const std::string loopHead = "for (; " + compared + (up ? " <= " : " >= ") + last + "; " + advance + ") { " + var +
                                     " = double(" + counter + ");";
        // The innermost loop tests once, before it runs, whether every index
        // it reads stays in range; its reads then skip their checks when
        // the test held (the compiler may make two loops of it).
        std::set<const Expr*> covered;
        around_.push_back(&loop);
        const std::string coverage = Coverage(node, loop, covered);
        around_.pop_back();
        if (!coverage.empty()) head += "const bool __covered_" + var + " = " + coverage + "; ";
        Put(out, depth_, LineOf(node), head + loopHead);
        coveredFlag_ = "__covered_" + var;
        covered_ = coverage.empty() ? nullptr : &covered;
        EmitWholeBody(node, loop, out);
        covered_ = nullptr;
        out += " " + var + " = double(" + counter + "); }\n";
    }

    // The body of a whole FOR and its NEXT line, closing the loop.
    void EmitWholeBody(const Node& node, const WholeLoop& loop, std::string& out)
    {
        ++depth_;
        around_.push_back(&loop);
        EmitBody(node.body, out);
        StartLine(node.endLine, node.end, out);
        Put(out, depth_, LineOf(node.endLine), "");
        around_.pop_back();
        out += Indent(--depth_) + "}";
    }

    // For the innermost whole loop up or down to a whole bound in which
    // nothing can DIM: the test that every array index of its body stays in
    // range while it runs, each index being the counter plus a whole
    // literal (from the start to the bound) or a whole number that does not
    // change in the loop. "" when there is nothing to test. The elements it
    // covers go to `covered`.
    std::string Coverage(const Node& node, const WholeLoop& loop, std::set<const Expr*>& covered)
    {
        if (!loop.to.IsWhole() || loop.bodyMayDim) return "";
        bool innermost = true;
        ForEachStatement(node.body, [&](const Statement& statement) {
            using T = Statement::Type;
            if (statement.type == T::For || statement.type == T::While || statement.type == T::Repeat) innermost = false;
        });
        if (!innermost) return "";
        const std::string var = CppName(node.statement->target->text);
        const int function = FunctionIndex();
        std::map<std::pair<std::string, int>, std::pair<double, double>> moving;  // (array, dimension): offsets
        std::set<std::string> fixed;
        ForEachStatement(node.body, [&](const Statement& statement) {
            ForEachExpr(statement, [&](const Expr& root) {
                ForEachSubExpr(root, [&](const Expr& element) {
                    if (element.type != Expr::Type::Element) return;
                    bool proven = true;  // already, by the loop's BOUNDS: nothing to test
                    for (std::size_t k = 0; k < element.children.size(); ++k)
                        proven = proven && ProvenInRange(element.text, static_cast<int>(k), *element.children[k]);
                    if (proven) return;
                    std::vector<std::string> checks;
                    std::vector<std::pair<int, double>> offsets;
                    for (std::size_t k = 0; k < element.children.size(); ++k) {
                        const Expr& index = *element.children[k];
                        double offset = 0;
                        if (CounterOffset(index, loop, offset)) {
                            offsets.push_back({static_cast<int>(k), offset});
                        } else if (wholeNumbers_->IsInvariant(index, function, loop) && RangeOf(index).IsWhole()) {
                            const std::string code = WholeCode(index);
                            checks.push_back(CppName(element.text) + ".Covers(" + std::to_string(k) + ", " + code + ", " + code + ")");
                        } else {
                            return;
                        }
                    }
                    covered.insert(&element);
                    fixed.insert(checks.begin(), checks.end());
                    for (const auto& [k, offset] : offsets) {
                        auto [entry, fresh] = moving.try_emplace({CppName(element.text), k}, offset, offset);
                        if (!fresh) {
                            entry->second.first = std::min(entry->second.first, offset);
                            entry->second.second = std::max(entry->second.second, offset);
                        }
                    }
                });
            });
        });
        if (covered.empty()) return "";
        const bool up = loop.step.lo > 0;
        const std::string first = "__whole_" + var, last = "__last_" + var;
        auto plus = [](const std::string& code, double offset) {
            const long long whole = static_cast<long long>(offset);
            return whole == 0 ? code : code + (whole > 0 ? " + " : " - ") + std::to_string(whole > 0 ? whole : -whole);
        };
        std::string test;
        for (const auto& [place, range] : moving)
            test += std::string(test.empty() ? "" : " && ") + place.first + ".Covers(" + std::to_string(place.second) + ", " +
                    plus(up ? first : last, range.first) + ", " + plus(up ? last : first, range.second) + ")";
        for (const std::string& check : fixed) test += std::string(test.empty() ? "" : " && ") + check;
        return test;
    }

    // The index is the counter of `loop`, perhaps plus or minus a whole literal.
    bool CounterOffset(const Expr& index, const WholeLoop& loop, double& offset) const
    {
        const Expr* counter = VariablePlusLiteral(index, offset);
        return counter != nullptr && wholeNumbers_->KeyOf(FunctionIndex(), counter->text) == loop.counter;
    }

    // FOR ... NEXT, WHILE ... WEND, REPEAT ... UNTIL: the loop's head, its
    // body, and the closing line's report inside the loop.
    void EmitLoop(const Node& node, const std::string& head, std::string& out)
    {
        Put(out, depth_, LineOf(node), head);
        ++depth_;
        EmitBody(node.body, out);
        StartLine(node.endLine, node.end, out);
        Put(out, depth_, LineOf(node.endLine), "");
        if (node.end->type == Statement::Type::Until)
            out += Indent(--depth_) + "} while (!(" + Condition(*node.end->cond) + "));\n";
        else
            out += Indent(--depth_) + "}\n";
    }

    // TYPE and its fields are declarations only: the struct stands before
    // the functions.
    void EmitType(const Node& node, std::string& out)
    {
        PutWithoutReport(out, depth_, LineOf(node));
        for (const Node& fields : node.body) {
            StartLine(fields.line, fields.statement, out);
            PutWithoutReport(out, depth_, LineOf(fields));
        }
        StartLine(node.endLine, node.end, out);
        PutWithoutReport(out, depth_, LineOf(node.endLine));
    }

    // A statement that is no block.
    void EmitStatement(const Line& line, const Statement& statement, std::string& out)
    {
        using T = Statement::Type;
        switch (statement.type) {
        case T::Local:
        case T::Config:
        case T::Const:
        case T::Data:
        case T::Include:
        case T::Sub:
        case T::EndSub:
        case T::Function:
        case T::EndFunction:
            Put(out, depth_, line, "");
            break;
        case T::Type:
        case T::Fields:
        case T::EndType:
            PutWithoutReport(out, depth_, line);
            break;
        default:
            Put(out, depth_, line, Simple(statement));
            break;
        }
    }

    // A jump target. On an ELSEIF, ELSE or ENDIF line it stands before the
    // closing brace, so it takes an empty statement: a jump there goes on as
    // the end of the branch before it does, after the ENDIF.
    std::string Label(const std::string& label, const Statement* statement) const
    {
        using T = Statement::Type;
        const bool beforeBrace =
            statement != nullptr && (statement->type == T::ElseIf || statement->type == T::Else || statement->type == T::EndIf ||
                                     statement->type == T::Case || statement->type == T::EndSelect);
        return Indent(depth_ - 1) + CppName(label) + (beforeBrace ? ":;\n" : ":\n");
    }

    // A statement that stays on its line: also the statements after THEN.
    std::string Simple(const Statement& statement)
    {
        using T = Statement::Type;
        switch (statement.type) {
        case T::Assign:
            if (IsAppendToItself(statement)) return Append(statement);
            return Target(*statement.target) + " = " + Value(*statement.value) + ";";
        case T::Call:
            return Call(*statement.call) + ";";
        case T::Gosub:
            callsTheProgram_ = true;
            return CppName(statement.name) + "();";
        case T::Goto:
            return "goto " + CppName(statement.name) + ";";
        case T::Break:
        case T::Exit:
            return "break;";
        case T::Read: {
            std::string code;
            for (const auto& item : statement.items) code += (code.empty() ? "" : " ") + ReadInto(*item);
            return code;
        }
        case T::Restore:
            return "__dataNext = " + std::to_string(statement.name.empty() ? 0 : DataIndexOf(statement.name)) + ";";
        case T::Continue:
            return "continue;";
        case T::Return:
            if (statement.value) return "return " + Value(*statement.value) + ";";
            if (currentFunction_ != nullptr && currentFunction_->isFunction) return "return " + DefaultResult(*currentFunction_) + ";";
            return "return;";
        case T::UserCall:
            return Call(*statement.call) + ";";
        case T::Dim: {
            if (statement.target->type == Expr::Type::Variable)  // a record: new again
                return CppName(statement.target->text) + " = kvtypes::" + CppName(statement.name) + "();";
            std::string code = "DIM(" + CppName(statement.target->text);
            for (const auto& size : statement.target->children) code += ", " + Number(*size);
            return code + ");";
        }
        case T::Sequence: {
            std::string code;
            for (const auto& each : statement.body) code += (code.empty() ? "" : " ") + Simple(*each);
            return code;
        }
        case T::If: {
            std::string then = Simple(*statement.then);
            // Braces where the branch is several C++ statements (a READ of
            // several items too) or an IF whose ELSE would be ambiguous.
            const bool nested = statement.then->type == T::If || statement.then->type == T::Sequence ||
                                statement.then->type == T::Read || statement.otherwise;
            std::string code = "if (" + Condition(*statement.cond) + ") " + (nested ? "{ " + then + " }" : then);
            if (statement.otherwise) code += " else { " + Simple(*statement.otherwise) + " }";
            return code;
        }
        default:
            return "";
        }
    }

    // s$ = s$ + x: the string variable is appended to where it is, not
    // copied twice. The same result: x is evaluated first either way, and
    // appending leaves s$ unchanged when the sum would not fit.
    static bool IsAppendToItself(const Statement& statement)
    {
        const Expr& target = *statement.target;
        const Expr& value = *statement.value;
        return target.type == Expr::Type::Variable && target.isString && value.type == Expr::Type::Binary &&
               value.isString && value.text == "+" && value.children[0]->type == Expr::Type::Variable &&
               value.children[0]->text == target.text;
    }

    std::string Append(const Statement& statement)
    {
        const Expr& right = *statement.value->children[1];
        const std::string rightCode = right.isString ? Emit(right) : "KvStr(" + Number(right) + ")";
        return Target(*statement.target) + " += " + rightCode + ";";
    }

    static int LiteralSign(const Expr& expr)
    {
        if (expr.type == Expr::Type::Number) return std::strtod(expr.text.c_str(), nullptr) >= 0 ? 1 : 0;
        if (expr.type == Expr::Type::Unary && expr.children[0]->type == Expr::Type::Number)
            return expr.text == "-" ? -1 : 1;
        return 0;
    }

    static std::string Parenthesized(const Expr& expr, const std::string& code)
    {
        return Precedence(expr) >= 6 ? code : "(" + code + ")";
    }

    std::string Target(const Expr& expr) { return Emit(expr); }

    // The expression as a number (a comparison becomes 0 or 1).
    std::string Number(const Expr& expr)
    {
        return expr.isTruth ? "double(" + Emit(expr) + ")" : Emit(expr);
    }
    // The expression as its own kind of value: a number or a KvStr.
    std::string Value(const Expr& expr) { return expr.isString ? Emit(expr) : Number(expr); }

    // The expression as a C++ condition.
    std::string Condition(const Expr& expr)
    {
        if (expr.isTruth) return Emit(expr);
        const std::string code = Emit(expr);
        return (Precedence(expr) >= 4 ? code : "(" + code + ")") + " != 0";
    }

    // A whole number C++ reads as an int: a literal under any number of
    // signs (- -2147483647). Every other constant sub-expression is made
    // double where two of these meet (see BinaryCode).
    static bool IsIntegerLiteral(const Expr& expr)
    {
        const Expr* literal = &expr;
        while (literal->type == Expr::Type::Unary && literal->text != "NOT") literal = literal->children[0].get();
        return literal->type == Expr::Type::Number && CppNumber(literal->text).find_first_of(".eE") == std::string::npos;
    }

    // A literal zero, perhaps signed: as an integer divisor the C++ compiler
    // warns about it, although the division is one of doubles.
    static bool IsZeroLiteral(const Expr& expr)
    {
        const Expr* literal = &expr;
        while (literal->type == Expr::Type::Unary && literal->text != "NOT") literal = literal->children[0].get();
        return literal->type == Expr::Type::Number && std::strtod(literal->text.c_str(), nullptr) == 0;
    }

    static std::string CppNumber(const std::string& text)
    {
        // A literal too small for a double is 0 (the compiler would warn).
        const double value = std::strtod(text.c_str(), nullptr);
        if (value == 0 && text.find_first_of("123456789") < text.find_first_of("eE")) return "0.0";
        std::string digits = text;
        // Leading zeros would make an octal literal.
        std::size_t zeros = 0;
        while (zeros + 1 < digits.size() && digits[zeros] == '0' && std::isdigit(static_cast<unsigned char>(digits[zeros + 1])))
            ++zeros;
        digits = digits.substr(zeros);
        if (digits.find_first_of(".eE") == std::string::npos && std::strtod(digits.c_str(), nullptr) > 2147483647.0)
            digits += ".0";
        return digits;
    }

    // A child operand of a binary operator, in parentheses where C++ needs
    // them or where a compiler would ask for them.
    std::string Operand(const Expr& parent, const Expr& child, bool right)
    {
        if (parent.op->kind == BinaryOperator::Kind::Logical) {
            const std::string code = Condition(child);
            const bool mixed = child.type == Expr::Type::Binary && child.op->kind == BinaryOperator::Kind::Logical &&
                               child.op != parent.op;
            return mixed ? "(" + code + ")" : code;
        }
        const std::string code = child.isString ? Emit(child) : Number(child);
        if (child.isTruth || IsComparison(parent)) return code;
        const int outer = Precedence(parent), inner = Precedence(child);
        return inner < outer || (right && inner == outer) ? "(" + code + ")" : code;
    }

    std::string Emit(const Expr& expr)
    {
        switch (expr.type) {
        case Expr::Type::Number:
            return CppNumber(expr.text);
        case Expr::Type::String:
            return "__text_" + std::to_string(expr.textIndex);
        case Expr::Type::Variable:
            return CppName(expr.text);
        case Expr::Type::Element: {
            if (!wholeNumbers_) {
                std::string code = CppName(expr.text) + "(";
                for (std::size_t k = 0; k < expr.children.size(); ++k)
                    code += (k ? ", " : "") + Number(*expr.children[k]);
                return code + ")";
            }
            // Indices proven whole are passed as integers: no conversion, a
            // check in integers; when every one is proven in range, none.
            bool proven = true;
            std::string indices;
            for (std::size_t k = 0; k < expr.children.size(); ++k) {
                const Expr& index = *expr.children[k];
                const bool whole = RangeOf(index).IsWhole();
                proven = proven && whole && ProvenInRange(expr.text, static_cast<int>(k), index);
                indices += (k ? ", " : "") + (whole ? WholeCode(index) : Number(index));
            }
            if (!proven && covered_ != nullptr && covered_->count(&expr) != 0)
                return CppName(expr.text) + ".Covered(" + coveredFlag_ + ", " + indices + ")";
            return CppName(expr.text) + (proven ? ".Unchecked(" : "(") + indices + ")";
        }
        case Expr::Type::Call:
            return Call(expr);
        case Expr::Type::Unary: {
            const Expr& operand = *expr.children[0];
            if (expr.text == "NOT") {
                const std::string inner = Condition(operand);
                return "!(" + inner + ")";
            }
            std::string inner = Number(operand);
            if (Precedence(operand) < 6 && !operand.isTruth) inner = "(" + inner + ")";
            // "- -x" must not become the decrement operator.
            return expr.text + (inner[0] == expr.text[0] ? " " : "") + inner;
        }
        case Expr::Type::Binary:
            return BinaryCode(expr);
        case Expr::Type::Field: {
            std::string code = Emit(*expr.children[0]) + "." + CppName(expr.text);
            if (expr.children.size() == 1) return code;
            for (std::size_t k = 1; k < expr.children.size(); ++k)
                code += (k > 1 ? ", " : "(") + Number(*expr.children[k]);
            return code + ")";
        }
        }
        return "";
    }

    std::string BinaryCode(const Expr& expr)
    {
        const Expr& left = *expr.children[0];
        const Expr& right = *expr.children[1];
        const std::string& op = expr.text;
        if (expr.op->isCall) return std::string(expr.op->cpp) + "(" + Number(left) + ", " + Number(right) + ")";
        if (IsComparison(expr) && left.isString) {
            const std::string cppOp = expr.op->cpp;
            std::string leftCode = Emit(left);
            if (Precedence(left) < 7) leftCode = "(" + leftCode + ")";
            return leftCode + ".Compare(" + Emit(right) + ") " + cppOp + " 0";
        }
        if (expr.isString) {  // appending
            std::string leftCode = left.isString ? Operand(expr, left, false) : "KvStr(" + Number(left) + ")";
            std::string rightCode = Operand(expr, right, true);
            return leftCode + " + " + rightCode;
        }
        const std::string cppOp = expr.op->cpp;
        std::string leftCode = Operand(expr, left, false);
        std::string rightCode = Operand(expr, right, true);
        // Two whole-number literals would be C++ int arithmetic: make it double.
        if ((op == "+" || op == "-" || op == "*" || op == "/") && IsIntegerLiteral(left) && IsIntegerLiteral(right)) {
            if (left.type == Expr::Type::Number)
                leftCode += ".0";
            else
                leftCode = "double(" + leftCode + ")";
        }
        if (op == "/" && IsZeroLiteral(right)) rightCode = "double(" + rightCode + ")";
        return leftCode + " " + cppOp + " " + rightCode;
    }

    int FunctionIndex() const { return static_cast<int>(currentFunction_ - checked_.functions.data()); }

    NumberRange RangeOf(const Expr& expr) const { return wholeNumbers_->RangeOf(expr, FunctionIndex(), around_); }

    // An expression proven whole (RangeOf), as 64-bit integer arithmetic:
    // exact, since every value on the way lies where doubles are exact too.
    std::string WholeCode(const Expr& expr)
    {
        switch (expr.type) {
        case Expr::Type::Number: {
            const double value = std::strtod(expr.text.c_str(), nullptr);
            const std::string digits = std::to_string(static_cast<long long>(value));
            return std::fabs(value) > 2147483647.0 ? "std::int64_t(" + digits + "LL)" : digits;
        }
        case Expr::Type::Variable: {
            const VariableKey key = wholeNumbers_->KeyOf(FunctionIndex(), expr.text);
            if (WholeNumbers::CounterLoop(key, around_) != nullptr) return "__whole_" + CppName(expr.text);
            return "std::int64_t(" + CppName(expr.text) + ")";
        }
        case Expr::Type::Unary:
            if (expr.text == "-" || expr.text == "+") {
                if (!RangeOf(*expr.children[0]).IsWhole()) break;
                const std::string inner = WholeCode(*expr.children[0]);
                return expr.text == "+" ? inner : "-(" + inner + ")";
            }
            break;
        case Expr::Type::Binary:
            if ((expr.text == "+" || expr.text == "-" || expr.text == "*") && RangeOf(*expr.children[0]).IsWhole() &&
                RangeOf(*expr.children[1]).IsWhole()) {
                std::string left = WholeCode(*expr.children[0]);
                std::string right = WholeCode(*expr.children[1]);
                // Literals alone would be C++ int arithmetic, which may overflow.
                if (IsConstantTree(*expr.children[0]) && IsConstantTree(*expr.children[1])) left = "std::int64_t(" + left + ")";
                const bool product = expr.text == "*";
                auto wrap = [&](const Expr& child, const std::string& code, bool isRight) {
                    const bool sum = child.type == Expr::Type::Binary && (child.text == "+" || child.text == "-");
                    const bool negative = !code.empty() && code[0] == '-';
                    return (product && sum) || (isRight && (sum || negative)) ? "(" + code + ")" : code;
                };
                return wrap(*expr.children[0], left, false) + " " + expr.text + " " + wrap(*expr.children[1], right, true);
            }
            break;
        default:
            break;
        }
        return "std::int64_t(" + Number(expr) + ")";
    }

    static bool IsConstantTree(const Expr& expr)
    {
        if (expr.type == Expr::Type::Number) return true;
        if (expr.type != Expr::Type::Unary && expr.type != Expr::Type::Binary) return false;
        for (const auto& child : expr.children)
            if (!IsConstantTree(*child)) return false;
        return true;
    }

    // An index of array `array` in dimension `dimension` that a loop
    // around proves in range: the loop's counter (+ or - a whole literal)
    // running up to BOUNDS(array, dimension) - c, never below 0.
    bool ProvenInRange(const std::string& array, int dimension, const Expr& index) const
    {
        double offset = 0;
        const Expr* counter = VariablePlusLiteral(index, offset);
        if (counter == nullptr) return false;
        const WholeLoop* loop = WholeNumbers::CounterLoop(wholeNumbers_->KeyOf(FunctionIndex(), counter->text), around_);
        if (loop == nullptr || loop->boundsArray != array || loop->boundsDimension != dimension) return false;
        return loop->inBody.lo + offset >= 0 && offset <= loop->boundsMargin - 1;
    }

    // v, v + c or v - c for a variable v and a whole literal c: v, and c
    // with its sign in `offset`; else nullptr.
    static const Expr* VariablePlusLiteral(const Expr& index, double& offset)
    {
        const Expr* variable = &index;
        offset = 0;
        if (index.type == Expr::Type::Binary && (index.text == "+" || index.text == "-") &&
            index.children[1]->type == Expr::Type::Number) {
            variable = index.children[0].get();
            offset = std::strtod(index.children[1]->text.c_str(), nullptr);
            if (index.text == "-") offset = -offset;
        }
        const bool whole = std::floor(offset) == offset && std::fabs(offset) < 1e9;
        return variable->type == Expr::Type::Variable && whole ? variable : nullptr;
    }

    std::string Call(const Expr& call)
    {
        if (call.functionIndex >= 0) return UserCall(call);
        std::string code = std::string(call.command->function) + "(";
        for (std::size_t k = 0; k < call.children.size(); ++k) {
            const Expr& argument = *call.children[k];
            code += k ? ", " : "";
            code += argument.isString ? Emit(argument) : Number(argument);
        }
        return code + ")";
    }

    // A SUB or FUNCTION of the program: arrays by their name, the other
    // arguments by value.
    std::string UserCall(const Expr& call)
    {
        const Function& function = checked_.functions[call.functionIndex];
        callsTheProgram_ = true;
        std::string code = FunctionName(function) + "(";
        for (std::size_t k = 0; k < call.children.size(); ++k) {
            const Expr& argument = *call.children[k];
            const std::string& parameter = function.parameters[k];
            const bool byReference = function.scope.at(parameter).isArray || function.records.count(parameter) != 0;
            code += k ? ", " : "";
            // By reference: an array or record by its name, or an element of an array of records.
            const bool element = argument.type == Expr::Type::Element;
            code += byReference && !element ? CppName(argument.text) : argument.isString ? Emit(argument) : Number(argument);
        }
        return code + ")";
    }

    const Program& program_;
    const CheckedProgram& checked_;
    const EmitOptions& options_;
    const Function* currentFunction_ = nullptr;  // the one being written
    std::unique_ptr<WholeNumbers> wholeNumbers_;  // with integer paths only
    std::vector<const WholeLoop*> around_;        // the whole loops around the code being written, innermost last
    const std::set<const Expr*>* covered_ = nullptr;  // elements the loop being written tests before it runs
    std::string coveredFlag_;                         // the result of that test
    bool callsTheProgram_ = false;  // it calls a SUB or FUNCTION of the program
    int depth_ = 1;
    bool commentPending_ = false;
    bool usesData_ = false;       // the program has READ or RESTORE
    int dataCount_ = 0;           // DATA items of the program
    std::vector<int> lineData_;   // per line: the index of its first DATA item (or of the next)
    int currentLine_ = -1;  // the line whose statements are being written
};

}  // namespace

std::string CppName(const std::string& basicName)
{
    if (!basicName.empty() && basicName.back() == '$') return basicName.substr(0, basicName.size() - 1) + "_Str";
    if (IsReserved(basicName) || EndsWith(basicName, "_Str") || EndsWith(basicName, "_")) return basicName + "_";
    return basicName;
}

std::string CppStringLiteral(const std::string& bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F || c == '?') {
            // Octal escapes take at most three digits, so a following digit
            // cannot join them (hexadecimal ones would swallow it).
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\%03o", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

GeneratedCode Emit(const Program& program, const CheckedProgram& checked, const EmitOptions& options)
{
    return Emitter(program, checked, options).Run();
}

}  // namespace kvbasic
