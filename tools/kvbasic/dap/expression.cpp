#include "expression.h"

#include <cctype>
#include <cmath>
#include <map>

#include "core/kvstr.h"
#include "core/maths.h"
#include "core/number_functions.h"
#include "core/string_commands.h"
#include "core/string_library.h"
#include "parser.h"
#include "value_text.h"

namespace kvdap {

namespace {

using kvbasic::Expr;

// The name the expression's value is assigned to, so that the parser reads
// the text as the right side of an assignment.
constexpr std::string_view kTarget = "kvdap_value = ";

Value Number(double number)
{
    Value value;
    value.number = number;
    return value;
}

Value String(std::string text)
{
    Value value;
    value.kind = Value::Kind::String;
    value.text = std::move(text);
    return value;
}

KvStr Str(const Value& value) { return KvStr(value.text.c_str()); }
Value String(const KvStr& text) { return String(std::string(text.GetStrData(), static_cast<std::size_t>(text.Length()))); }

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// What a pure function takes ("n", "s") and computes.
struct Function {
    const char* arguments;  // one letter per argument; a trailing '?' makes the last optional
    std::function<Value(const std::vector<Value>&)> compute;
};

const std::map<std::string, Function>& Functions()
{
    using V = const std::vector<Value>&;
    static const std::map<std::string, Function> functions = {
        {"LEN", {"v", [](V a) { return Number(a[0].kind == Value::Kind::String ? LEN(Str(a[0])) : LEN(a[0].number)); }}},
        {"MID$", {"snn", [](V a) { return String(MID_Str(Str(a[0]), a[1].number, a[2].number)); }}},
        {"LEFT$", {"sn", [](V a) { return String(LEFT_Str(Str(a[0]), a[1].number)); }}},
        {"RIGHT$", {"sn", [](V a) { return String(RIGHT_Str(Str(a[0]), a[1].number)); }}},
        {"INSTR", {"ssn?", [](V a) {
             return Number(a.size() > 2 ? INSTR(Str(a[0]), Str(a[1]), a[2].number) : INSTR(Str(a[0]), Str(a[1])));
         }}},
        {"UCASE$", {"s", [](V a) { return String(UCASE_Str(Str(a[0]))); }}},
        {"LCASE$", {"s", [](V a) { return String(LCASE_Str(Str(a[0]))); }}},
        {"TRIM$", {"s", [](V a) { return String(TRIM_Str(Str(a[0]))); }}},
        {"STR$", {"n", [](V a) { return String(STR_Str(a[0].number)); }}},
        {"REPLACE$", {"sss", [](V a) { return String(REPLACE_Str(Str(a[0]), Str(a[1]), Str(a[2]))); }}},
        {"ASC", {"s", [](V a) { return Number(ASC(Str(a[0]))); }}},
        {"CHR$", {"n", [](V a) { return String(CHR_Str(a[0].number)); }}},
        {"FORMAT$", {"nnn", [](V a) { return String(FORMAT_Str(a[0].number, a[1].number, a[2].number)); }}},
        {"VAL", {"s", [](V a) { return Number(VAL(Str(a[0]))); }}},
        {"SIN", {"n", [](V a) { return Number(SIN(a[0].number)); }}},
        {"COS", {"n", [](V a) { return Number(COS(a[0].number)); }}},
        {"TAN", {"n", [](V a) { return Number(TAN(a[0].number)); }}},
        {"ATAN", {"nn", [](V a) { return Number(ATAN(a[0].number, a[1].number)); }}},
        {"ASIN", {"n", [](V a) { return Number(ASIN(a[0].number)); }}},
        {"ACOS", {"n", [](V a) { return Number(ACOS(a[0].number)); }}},
        {"SQR", {"n", [](V a) { return Number(SQR(a[0].number)); }}},
        {"ABS", {"n", [](V a) { return Number(ABS(a[0].number)); }}},
        {"POW", {"nn", [](V a) { return Number(POW(a[0].number, a[1].number)); }}},
        {"MOD", {"nn", [](V a) { return Number(MOD(a[0].number, a[1].number)); }}},
        {"INT", {"n", [](V a) { return Number(INT(a[0].number)); }}},
        {"FIX", {"n", [](V a) { return Number(FIX(a[0].number)); }}},
        {"SGN", {"n", [](V a) { return Number(SGN(a[0].number)); }}},
        {"ROUND", {"n", [](V a) { return Number(ROUND(a[0].number)); }}},
        {"MIN", {"nn", [](V a) { return Number(MIN(a[0].number, a[1].number)); }}},
        {"MAX", {"nn", [](V a) { return Number(MAX(a[0].number, a[1].number)); }}},
        {"RGB", {"nnn", [](V a) { return Number(RGB(a[0].number, a[1].number, a[2].number)); }}},
        {"BAND", {"nn", [](V a) { return Number(BAND(a[0].number, a[1].number)); }}},
        {"BOR", {"nn", [](V a) { return Number(BOR(a[0].number, a[1].number)); }}},
        {"BXOR", {"nn", [](V a) { return Number(BXOR(a[0].number, a[1].number)); }}},
        {"BNOT", {"n", [](V a) { return Number(BNOT(a[0].number)); }}},
        {"SHL", {"nn", [](V a) { return Number(SHL(a[0].number, a[1].number)); }}},
        {"SHR", {"nn", [](V a) { return Number(SHR(a[0].number, a[1].number)); }}},
    };
    return functions;
}

// Thrown inside the evaluation with the text for the user; caught at its top.
struct Refusal {
    std::string text;
};

class Evaluator {
public:
    Evaluator(const std::string& scope, const FetchValue& fetch) : scope_(scope), fetch_(fetch) {}

    Value Of(const Expr& expr)
    {
        switch (expr.type) {
        case Expr::Type::Number: return Number(TextToNumber(expr.text.c_str()));
        case Expr::Type::String: return String(expr.text);
        case Expr::Type::Variable:
        case Expr::Type::Element:
        case Expr::Type::Field: return Read(PathOf(expr));
        case Expr::Type::Unary: return Unary(expr);
        case Expr::Type::Binary: return Binary(expr);
        case Expr::Type::Call: return Call(expr);
        }
        throw Refusal{"this expression cannot be evaluated"};
    }

private:
    std::string PathOf(const Expr& expr)
    {
        if (expr.type == Expr::Type::Variable) return scope_ + ":" + expr.text;
        if (expr.type == Expr::Type::Element) return scope_ + ":" + expr.text + Indices(expr, 0);
        if (expr.type == Expr::Type::Field && !expr.children.empty()) {
            const Expr& record = *expr.children[0];
            if (record.type != Expr::Type::Variable && record.type != Expr::Type::Element)
                throw Refusal{"a field belongs to a record variable or an element of an array of records"};
            return PathOf(record) + "." + expr.text + Indices(expr, 1);
        }
        throw Refusal{"this is no variable"};
    }

    // "(i,j)" of the indices among `expr`'s children from `first` on.
    std::string Indices(const Expr& expr, std::size_t first)
    {
        if (expr.children.size() <= first) return "";
        std::string text = "(";
        for (std::size_t k = first; k < expr.children.size(); ++k) {
            const Value index = Of(*expr.children[k]);
            if (index.kind != Value::Kind::Number) throw Refusal{"an index is a number"};
            if (k > first) text += ',';
            text += std::to_string(NumberToInt(index.number));
        }
        return text + ")";
    }

    Value Read(const std::string& path)
    {
        std::string error;
        const std::optional<ChannelValue> read = fetch_(path, error);
        if (!read) throw Refusal{error};
        Value value;
        value.path = path;
        if (read->kind == "number") {
            value.number = read->text == "nan" ? NAN : TextToNumber(read->text.c_str());
            if (read->text == "inf") value.number = INFINITY;
            if (read->text == "-inf") value.number = -INFINITY;
        } else if (read->kind == "string") {
            value.kind = Value::Kind::String;
            value.text = read->text;
        } else {
            value.kind = Value::Kind::Structured;
            value.structured = *read;
        }
        return value;
    }

    // A number or a string, for an operator or a function.
    Value Plain(const Expr& expr)
    {
        Value value = Of(expr);
        if (value.kind == Value::Kind::Structured)
            throw Refusal{"an " + std::string(value.structured.kind == "record" ? "record" : "array") +
                          " has no single value: name an element or a field"};
        return value;
    }

    double NumberOf(const Expr& expr, const char* what)
    {
        const Value value = Plain(expr);
        if (value.kind != Value::Kind::Number) throw Refusal{std::string(what) + " needs numbers, not a string"};
        return value.number;
    }

    Value Unary(const Expr& expr)
    {
        const double operand = NumberOf(*expr.children.at(0), expr.text == "NOT" ? "NOT" : "the sign");
        if (expr.text == "NOT") return Number(operand == 0 ? 1 : 0);
        return Number(expr.text == "-" ? -operand : operand);
    }

    Value Binary(const Expr& expr)
    {
        using K = kvbasic::BinaryOperator::Kind;
        const kvbasic::BinaryOperator& op = *expr.op;
        const Expr& leftExpr = *expr.children.at(0);
        const Expr& rightExpr = *expr.children.at(1);
        const std::string word = op.word;
        if (op.kind == K::Logical) {
            const bool left = NumberOf(leftExpr, op.word) != 0;
            if (word == "AND" && !left) return Number(0);
            if (word == "OR" && left) return Number(1);
            return Number(NumberOf(rightExpr, op.word) != 0 ? 1 : 0);
        }
        const Value left = Plain(leftExpr);
        const Value right = Plain(rightExpr);
        const bool strings = left.kind == Value::Kind::String || right.kind == Value::Kind::String;
        if (op.kind == K::Comparison) {
            if (left.kind != right.kind) throw Refusal{"a comparison needs two numbers or two strings"};
            const int order = strings ? Str(left).Compare(Str(right)) : 0;
            const double a = left.number, b = right.number;
            bool result = false;
            if (word == "=") result = strings ? order == 0 : a == b;
            else if (word == "<>") result = strings ? order != 0 : a != b;
            else if (word == "<") result = strings ? order < 0 : a < b;
            else if (word == ">") result = strings ? order > 0 : a > b;
            else if (word == "<=") result = strings ? order <= 0 : a <= b;
            else result = strings ? order >= 0 : a >= b;
            return Number(result ? 1 : 0);
        }
        if (strings) {
            if (word != "+") throw Refusal{"only + takes strings"};
            // A number on either side becomes its "%g" text, as the program does it.
            const KvStr a = left.kind == Value::Kind::String ? Str(left) : KvStr(left.number);
            const KvStr b = right.kind == Value::Kind::String ? Str(right) : KvStr(right.number);
            return String(a + b);
        }
        const double a = left.number, b = right.number;
        if (word == "+") return Number(a + b);
        if (word == "-") return Number(a - b);
        if (word == "*") return Number(a * b);
        if (word == "/") return Number(a / b);
        if (word == "MOD") return Number(MOD(a, b));
        if (word == "\\") return Number(IDIV(a, b));
        return Number(POW(a, b));
    }

    Value Call(const Expr& expr)
    {
        const std::string name = Upper(expr.text);
        const auto& functions = Functions();
        const auto found = functions.find(name);
        if (found == functions.end())
            throw Refusal{expr.text + " cannot be evaluated while the program is paused; the functions that can: " +
                          EvaluatedFunctions()};
        const std::string kinds = found->second.arguments;
        const bool lastOptional = !kinds.empty() && kinds.back() == '?';
        const std::size_t most = kinds.size() - (lastOptional ? 1 : 0);
        const std::size_t least = most - (lastOptional ? 1 : 0);
        if (expr.children.size() < least || expr.children.size() > most)
            throw Refusal{name + " takes " + std::to_string(most) + " argument" + (most == 1 ? "" : "s")};
        std::vector<Value> arguments;
        for (std::size_t k = 0; k < expr.children.size(); ++k) {
            Value argument = Plain(*expr.children[k]);
            const char want = kinds[k];
            if (want == 'n' && argument.kind != Value::Kind::Number)
                throw Refusal{name + " takes a number as argument " + std::to_string(k + 1)};
            if (want == 's' && argument.kind != Value::Kind::String)
                throw Refusal{name + " takes a string as argument " + std::to_string(k + 1)};
            arguments.push_back(std::move(argument));
        }
        return found->second.compute(arguments);
    }

    const std::string& scope_;
    const FetchValue& fetch_;
};

}  // namespace

const char* EvaluatedFunctions()
{
    return "LEN, MID$, ASC, CHR$, FORMAT$, VAL, SIN, COS, TAN, ATAN, ASIN, ACOS, SQR, ABS, POW, MOD, INT, FIX, SGN, ROUND, MIN, MAX, RGB, BAND, BOR, BXOR, BNOT, SHL, SHR";
}

std::optional<Value> Evaluate(std::string_view expression, const std::string& scope, const FetchValue& fetch,
                              std::string& error)
{
    const std::size_t end = expression.find_first_of("\r\n");
    if (end != std::string_view::npos) {
        error = "an expression is one line";
        return std::nullopt;
    }
    std::string source(kTarget);
    source += expression;
    kvbasic::Diagnostics diagnostics;
    const kvbasic::Program program = kvbasic::Parse(source, diagnostics);
    if (!diagnostics.Empty()) {
        const kvbasic::Diagnostic first = diagnostics.Sorted().front();
        error = first.message;
        return std::nullopt;
    }
    if (program.lines.empty() || program.lines[0].statements.size() != 1 ||
        program.lines[0].statements[0]->type != kvbasic::Statement::Type::Assign || !program.lines[0].statements[0]->value) {
        error = "this is no expression";
        return std::nullopt;
    }
    try {
        Evaluator evaluator(scope, fetch);
        return evaluator.Of(*program.lines[0].statements[0]->value);
    } catch (const Refusal& refusal) {
        error = refusal.text;
        return std::nullopt;
    }
}

}  // namespace kvdap
