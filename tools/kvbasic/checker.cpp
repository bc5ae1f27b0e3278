#include "checker.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

#include "include_files.h"
#include "parser.h"

namespace kvbasic {

namespace {

bool IsStringName(const std::string& name) { return !name.empty() && name.back() == '$'; }

bool IsLoop(Statement::Type type)
{
    return type == Statement::Type::For || type == Statement::Type::While || type == Statement::Type::Repeat;
}

const char* LoopWord(Statement::Type type)
{
    switch (type) {
    case Statement::Type::For: return "FOR";
    case Statement::Type::While: return "WHILE";
    default: return "REPEAT";
    }
}

// Where a statement stands in its SUB, FUNCTION or main program.
struct Place {
    int blocks = 0;               // how many blocks hold it
    const Node* loop = nullptr;   // the innermost FOR, WHILE or REPEAT, if any
};

class Checker {
public:
    Checker(Program& program, Diagnostics& diagnostics) : program_(program), diagnostics_(diagnostics) {}

    CheckedProgram Run()
    {
        CheckStructure();
        CollectRecords();
        CollectVariables();
        CheckNames();
        // Looking a name up may have entered it; a record is no variable.
        for (const auto& [name, record] : result_.records) result_.variables.erase(name);
        return std::move(result_);
    }

private:
    void Error(int line, int column, std::string message) { diagnostics_.Error(line, column, std::move(message)); }

    // ---- Blocks, SUBs and labels -------------------------------------------------

    // Walks the block tree the parser built: each SUB's name and parameters,
    // the labels of its lines, and the statements whose place matters.
    void CheckStructure()
    {
        lineFunction_.assign(program_.lines.size(), -1);
        for (Unit& unit : program_.units) {
            if (unit.root.statement == nullptr) {
                result_.functions.emplace_back();
                current_ = 0;
            } else {
                StartSub(program_.lines[unit.firstLine], *unit.root.statement);
            }
            Function& function = result_.functions[current_];
            function.firstLine = unit.firstLine;
            function.lastLine = unit.lastLine;
            for (int index = unit.firstLine; index <= unit.lastLine; ++index) lineFunction_[index] = current_;
            const int firstBodyLine = unit.root.statement == nullptr ? unit.firstLine : unit.firstLine + 1;
            for (int index = firstBodyLine; index <= unit.lastLine; ++index) AddLabel(program_.lines[index]);
            CheckBody(unit.root.body, Place{});
        }
        // RESTORE names a label of any part of the program.
        for (const Restore& restore : restores_) {
            bool found = false;
            for (const auto& [function, labels] : labels_) found = found || labels.count(restore.label);
            if (!found) Error(restore.line, restore.column, "RESTORE to unknown label " + restore.label);
        }
        // Jumps and calls, now that every label and SUB is known.
        for (const Jump& jump : jumps_) {
            if (jump.isGosub) {
                CheckGosub(jump.name, jump.line, jump.column);
                continue;
            }
            if (labels_[jump.function].count(jump.name)) {
                result_.functions[jump.function].jumpTargets.insert(jump.name);
                continue;
            }
            bool elsewhere = false;
            for (const auto& [function, labels] : labels_) elsewhere = elsewhere || labels.count(jump.name);
            Error(jump.line, jump.column,
                  elsewhere ? "GOTO " + jump.name + " leaves the SUB: the label is in another part of the program"
                            : "GOTO to unknown label " + jump.name);
        }
    }

    void AddLabel(const Line& line)
    {
        if (line.label.empty()) return;
        auto& labels = labels_[current_];
        auto [it, added] = labels.emplace(line.label, line.index + 1);
        if (!added)
            Error(line.index + 1, line.labelColumn,
                  "label " + line.label + " is defined twice (first on " + LineReference(program_, it->second) + ")");
    }

    void CheckBody(std::vector<Node>& body, const Place& place)
    {
        for (Node& node : body) CheckNode(node, place);
    }

    // One node of the tree: a block by its kind, else a statement.
    void CheckNode(Node& node, const Place& place)
    {
        if (node.statement == nullptr) return;
        if (!node.isBlock) {
            CheckStatementStructure(*node.statement, node.line + 1, false, place);
            return;
        }
        switch (node.statement->type) {
        case Statement::Type::Select: CheckSelectBlock(node, place); break;
        case Statement::Type::Type: CheckTypeBlock(node, place); break;
        default: CheckBlock(node, place); break;
        }
    }

    // IF, FOR, WHILE, REPEAT: their bodies stand inside one more block (a
    // loop's in that loop).
    void CheckBlock(Node& node, const Place& place)
    {
        Place inside{place.blocks + 1, IsLoop(node.statement->type) ? &node : place.loop};
        CheckBody(node.body, inside);
        for (Node& branch : node.branches) CheckBody(branch.body, inside);
    }

    // SELECT CASE numbers its value for the CASEs to compare with.
    void CheckSelectBlock(Node& node, const Place& place)
    {
        const int selectId = static_cast<int>(result_.selectIsString.size());
        node.statement->selectId = selectId;
        result_.selectIsString.push_back(false);
        Place inside{place.blocks + 1, place.loop};
        CheckBody(node.body, inside);
        for (Node& arm : node.branches) {
            arm.statement->selectId = selectId;
            CheckBody(arm.body, inside);
        }
    }

    // TYPE name and its lines of fields.
    void CheckTypeBlock(Node& node, const Place& place)
    {
        CheckTypeStructure(*node.statement, node.line + 1, place);
        for (const Node& fields : node.body)
            if (fields.statement != nullptr) CheckTypeStructure(*fields.statement, fields.line + 1, place);
    }

    void StartSub(const Line& line, const Statement& statement)
    {
        const int number = line.index + 1;
        const bool isFunction = statement.type == Statement::Type::Function;
        const char* kind = isFunction ? "FUNCTION" : "SUB";
        if (!isFunction && IsStringName(statement.name)) Error(number, statement.column, "a SUB name cannot end in '$'");
        // The old SUB name: keeps every name it always took.
        if (statement.hasParameterList && kvcommands::FindCommand(statement.name.c_str()) != nullptr)
            Error(number, statement.column, statement.name + " is a command: give the " + kind + " another name");
        auto [it, added] = subs_.emplace(statement.name, number);
        if (!added)
            Error(number, statement.column,
                  std::string(kind) + " " + statement.name + " is defined twice (first on " + LineReference(program_, it->second) + ")");
        Function function;
        function.name = statement.name;
        function.firstLine = function.lastLine = line.index;
        function.isFunction = isFunction;
        function.hasParameterList = statement.hasParameterList;
        result_.functions.push_back(std::move(function));
        current_ = static_cast<int>(result_.functions.size()) - 1;
        if (added) functionIndex_[statement.name] = current_;
        for (std::size_t k = 0; k < statement.items.size(); ++k) {
            const Expr& parameter = *statement.items[k];
            Declare(parameter, number, true);
            if (k < statement.itemTypes.size() && !statement.itemTypes[k].empty())
                recordParameters_.push_back({current_, parameter.text, statement.itemTypes[k], number, parameter.column});
        }
    }

    // A parameter or a LOCAL of the function being read: its own variable,
    // an array when declared with [].
    void Declare(const Expr& name, int number, bool isParameter)
    {
        Function& function = result_.functions[current_];
        auto [it, added] = function.scope.emplace(name.text, Variable{IsStringName(name.text), name.type == Expr::Type::Element, false});
        if (!added) {
            const bool wasParameter =
                std::find(function.parameters.begin(), function.parameters.end(), name.text) != function.parameters.end();
            Error(number, name.column,
                  isParameter    ? "parameter " + name.text + " is named twice in " + function.name
                  : wasParameter ? name.text + " is a parameter of " + function.name
                                 : name.text + " is declared twice in " + function.name);
            return;
        }
        (isParameter ? function.parameters : function.locals).push_back(name.text);
        declarations_.push_back({name.text, number, name.column});
    }

    // GOSUB calls a SUB that takes no arguments.
    void CheckGosub(const std::string& name, int line, int column)
    {
        const Function* function = UserFunction(name);
        if (function == nullptr)
            Error(line, column, "GOSUB to unknown SUB " + name);
        else if (function->isFunction)
            Error(line, column, "GOSUB cannot call FUNCTION " + name + ": use its value, x = " + name + "(...)");
        else if (!function->parameters.empty())
            Error(line, column,
                  "SUB " + name + " takes " + Plural(function->parameters.size()) + ": call it as " + name +
                      " arguments, not with GOSUB");
    }

    // LOCAL stands in a SUB or FUNCTION, outside blocks; its names belong
    // to one call of it.
    void CheckLocal(const Statement& statement, int number, bool afterThen, const Place& place)
    {
        if (current_ <= 0) {
            Error(number, statement.column, "LOCAL outside a SUB or FUNCTION");
            return;
        }
        if (afterThen || place.blocks > 0) {
            Error(number, statement.column, "LOCAL stands outside blocks");
            return;
        }
        for (const auto& name : statement.items) Declare(*name, number, false);
    }

    // RETURN leaves a SUB or FUNCTION; a FUNCTION's RETURN gives its value.
    void CheckReturn(const Statement& statement, int number)
    {
        const std::string word = statement.name.empty() ? "RETURN" : "EXIT " + statement.name;
        if (current_ <= 0) {
            Error(number, statement.column, word + (statement.name == "FUNCTION" ? " outside a FUNCTION" : " outside a SUB"));
            return;
        }
        const Function& function = result_.functions[current_];
        if (statement.name == "FUNCTION" && !function.isFunction)
            Error(number, statement.column, "EXIT FUNCTION in SUB " + function.name + ": leave a SUB with EXIT SUB");
        else if (statement.name == "SUB" && function.isFunction)
            Error(number, statement.column, "EXIT SUB in FUNCTION " + function.name + ": leave a FUNCTION with EXIT FUNCTION");
        else if (statement.name.empty() && function.isFunction && !statement.value)
            Error(number, statement.column, "RETURN in FUNCTION " + function.name + " needs its value: RETURN value");
        else if (!function.isFunction && statement.value)
            Error(number, statement.value->column, "SUB " + function.name + " has no value: RETURN leaves it without one");
    }

    // A statement that is no block: what its place allows.
    void CheckStatementStructure(Statement& statement, int number, bool afterThen, const Place& place)
    {
        using T = Statement::Type;
        switch (statement.type) {
        case T::If:
            CheckStatementStructure(*statement.then, number, true, place);
            if (statement.otherwise) CheckStatementStructure(*statement.otherwise, number, true, place);
            break;
        case T::Sequence:
            for (auto& each : statement.body) CheckStatementStructure(*each, number, afterThen, place);
            break;
        case T::Break:
        case T::Continue:
            if (place.loop == nullptr)
                Error(number, statement.column,
                      std::string(statement.type == T::Break ? "BREAK" : "CONTINUE") + " outside a loop");
            break;
        case T::Return:
            CheckReturn(statement, number);
            break;
        case T::Local:
            CheckLocal(statement, number, afterThen, place);
            break;
        case T::Exit:
            CheckExit(statement, number, place);
            break;
        case T::Restore:
            if (!statement.name.empty()) restores_.push_back({statement.name, number, statement.column});
            break;
        case T::Const:
            CheckConst(statement, number, place);
            break;
        case T::Gosub:
        case T::Goto:
            jumps_.push_back({statement.type == T::Gosub, statement.name, current_, number, statement.column});
            break;
        case T::Config:
            CheckConfiguration(statement, number, afterThen, place);
            break;
        case T::Include:
            if (current_ != 0)
                Error(number, statement.column, "INCLUDE cannot stand in a SUB: include files in the main program");
            else if (place.blocks > 0)
                Error(number, statement.column, "INCLUDE cannot stand in a block");
            break;
        default:
            break;
        }
    }

    void CheckConst(const Statement& statement, int number, const Place& place)
    {
        if (place.blocks > 0) {
            Error(number, statement.column, "CONST stands outside blocks");
            return;
        }
        if (auto [it, added] = constants_.emplace(statement.target->text, Constant{number, constantCount_++}); !added)
            Error(number, statement.target->column, "constant " + statement.target->text + " is defined twice (first on " +
                                                        LineReference(program_, it->second.line) + ")");
    }

    // EXIT FOR, WHILE or REPEAT leaves the innermost loop, which must be of
    // that kind (it becomes a C++ break).
    void CheckExit(const Statement& statement, int number, const Place& place)
    {
        if (place.loop == nullptr) {
            Error(number, statement.column, "EXIT " + statement.name + " outside a " + statement.name + " loop");
            return;
        }
        const Statement::Type type = place.loop->statement->type;
        if (statement.name != LoopWord(type))
            Error(number, statement.column,
                  "EXIT " + statement.name + " inside a " + LoopWord(type) + " loop of " +
                      LineReference(program_, place.loop->line + 1) + ": leave that loop first");
    }

    void CheckConfiguration(const Statement& statement, int number, bool afterThen, const Place& place)
    {
        if (current_ != 0 || afterThen || place.blocks > 0) {
            Error(number, statement.column, statement.name + " is configuration: set it in the main program, outside blocks");
            return;
        }
        Configuration& config = result_.configuration;
        const Expr& value = *statement.value;
        if (statement.name == "KV_CAPTION") {
            if (value.type != Expr::Type::String)
                Error(value.line, value.column, "KV_CAPTION must be a string in quotes");
            else
                config.caption = value.text;
            return;
        }
        int* field = statement.name == "KV_RESX"         ? &config.resX
                     : statement.name == "KV_RESY"       ? &config.resY
                     : statement.name == "KV_FULLSCREEN" ? &config.fullscreen
                     : statement.name == "KV_FRAMERATE"  ? &config.frameRate
                     : statement.name == "KV_DEBUG"      ? &config.debug
                     : statement.name == "KV_WANTMOUSE"  ? &config.wantMouse
                                                         : nullptr;
        if (field == nullptr) {
            Error(number, statement.column,
                  "unknown configuration " + statement.name +
                      " (known: KV_RESX, KV_RESY, KV_FULLSCREEN, KV_FRAMERATE, KV_DEBUG, KV_WANTMOUSE, KV_CAPTION)");
            return;
        }
        const bool negative = value.type == Expr::Type::Unary && value.text == "-";
        const Expr& literal = negative ? *value.children[0] : value;
        const double number_value = literal.type == Expr::Type::Number ? std::strtod(literal.text.c_str(), nullptr) : 0.5;
        // The range first: converting a larger number to an integer is undefined.
        if (literal.type != Expr::Type::Number || number_value > 100000 || number_value != std::trunc(number_value)) {
            Error(value.line, value.column, statement.name + " must be a whole number from -100000 to 100000");
            return;
        }
        *field = static_cast<int>(negative ? -number_value : number_value);
    }

    // ---- Variables and arrays ---------------------------------------------------

    // A parameter or LOCAL of the SUB or FUNCTION being read.
    bool IsLocal(const std::string& name) const
    {
        return current_ > 0 && result_.functions[current_].scope.count(name) != 0;
    }
    // The variable a name means where it is read: a parameter or LOCAL of
    // the SUB or FUNCTION, else the global.
    Variable& VariableOf(const std::string& name)
    {
        if (IsLocal(name)) return result_.functions[current_].scope.at(name);
        return result_.variables[name];
    }

    // Whether the name means an array here; enters no variable.
    bool IsArray(const std::string& name) const
    {
        if (IsLocal(name)) return result_.functions[current_].scope.at(name).isArray;
        const auto found = result_.variables.find(name);
        return found != result_.variables.end() && found->second.isArray;
    }

    void MarkArray(const std::string& name)
    {
        if (!IsLocal(name)) result_.variables[name].isArray = true;
    }
    void NoteScalar(const Expr& expr)
    {
        if (expr.type == Expr::Type::Variable && !IsLocal(expr.text)) scalarUses_.insert(expr.text);
    }

    // The SUB or FUNCTION a call names, or nullptr.
    const Function* UserFunction(const std::string& name) const
    {
        auto it = functionIndex_.find(name);
        return it == functionIndex_.end() ? nullptr : &result_.functions[it->second];
    }

    void CollectExpr(const Expr& expr)
    {
        const bool named = (expr.type == Expr::Type::Variable || expr.type == Expr::Type::Element) &&
                           FindRecord(expr.text) == nullptr;
        if (named && expr.type == Expr::Type::Element) MarkArray(expr.text);
        if (named && !IsLocal(expr.text)) result_.variables[expr.text].isString = IsStringName(expr.text);
        if (expr.type == Expr::Type::Call && kvcommands::FindCommand(expr.text.c_str()) == nullptr) {
            if (const Function* function = UserFunction(expr.text)) {
                // A name given for an array parameter is an array, as for commands.
                for (std::size_t k = 0; k < expr.children.size(); ++k) {
                    const Expr& argument = *expr.children[k];
                    const bool forArray = k < function->parameters.size() &&
                                          function->scope.at(function->parameters[k]).isArray;
                    if (forArray && argument.type == Expr::Type::Variable && !subs_.count(argument.text)) {
                        if (!IsLocal(argument.text)) arrayArguments_.insert(argument.text);
                    } else {
                        CollectExpr(argument);
                    }
                }
                return;
            }
        }
        if (expr.type == Expr::Type::Call) {
            const kvcommands::Command* command = kvcommands::FindCommand(expr.text.c_str());
            if (command != nullptr) {
                const std::vector<std::string> kinds = ArgumentKinds(*command);
                for (std::size_t k = 0; k < expr.children.size(); ++k) {
                    const Expr& argument = *expr.children[k];
                    // A name given for an array is an array, unless the
                    // program also uses it as a plain variable.
                    if (k < kinds.size() && IsArrayKind(kinds[k][0]) && argument.type == Expr::Type::Variable &&
                        !subs_.count(argument.text)) {
                        if (!IsLocal(argument.text)) arrayArguments_.insert(argument.text);
                    } else
                        CollectExpr(argument);
                }
                return;
            }
        }
        for (const auto& child : expr.children) CollectExpr(*child);
        if (expr.type != Expr::Type::Call) NoteScalar(expr);
    }

    void CollectStatement(const Statement& statement)
    {
        if (statement.type == Statement::Type::Dim && statement.name.empty()) MarkArray(statement.target->text);
        if (statement.type == Statement::Type::Const) result_.variables[statement.target->text].isConst = true;
        if (statement.type == Statement::Type::Config || statement.type == Statement::Type::Local ||
            statement.type == Statement::Type::Sub || statement.type == Statement::Type::Function ||
            statement.type == Statement::Type::Fields)
            return;
        for (const Expr* expr : {statement.target.get(), statement.value.get(), statement.cond.get(),
                                 statement.from.get(), statement.to.get(), statement.step.get(), statement.call.get()})
            if (expr != nullptr) CollectExpr(*expr);
        if (statement.then) CollectStatement(*statement.then);
        if (statement.otherwise) CollectStatement(*statement.otherwise);
        for (const auto& each : statement.body) CollectStatement(*each);
        for (const auto& item : statement.items) CollectExpr(*item);
        for (const auto& item : statement.cases)
            for (const Expr* value : {item.value.get(), item.to.get()})
                if (value != nullptr) CollectExpr(*value);
    }

    void CollectVariables()
    {
        for (const Line& line : program_.lines) {
            current_ = lineFunction_[line.index];
            if (current_ >= 0)
                for (const auto& statement : line.statements) CollectStatement(*statement);
        }
        for (const std::string& name : arrayArguments_)
            if (!scalarUses_.count(name) && !result_.records.count(name)) MarkArray(name);
        for (auto& [name, variable] : result_.variables) variable.isString = IsStringName(name);
    }

    // ---- Records: TYPE, DIM ... AS and fields ------------------------------------

    // TYPE name, its lines of fields and END TYPE (the parser pairs them).
    void CheckTypeStructure(const Statement& statement, int number, const Place& place)
    {
        using T = Statement::Type;
        if (statement.type == T::Type) {
            if (current_ != 0)
                Error(number, statement.column, "TYPE cannot stand in a SUB: define it in the main program");
            else if (place.blocks > 0)
                Error(number, statement.column, "TYPE stands outside blocks");
            if (IsStringName(statement.name)) Error(number, statement.column, "a TYPE name cannot end in '$'");
            for (const RecordType& type : result_.types)
                if (type.name == statement.name)
                    Error(number, statement.column,
                          "TYPE " + statement.name + " is defined twice (first on " + LineReference(program_, type.line) + ")");
            typeIndices_.emplace(statement.name, static_cast<int>(result_.types.size()));
            result_.types.push_back({statement.name, number, {}});
            return;
        }
        if (statement.type == T::EndType || result_.types.empty()) return;
        RecordType& type = result_.types.back();
        for (const auto& item : statement.items) {
            RecordField field{item->text, IsStringName(item->text), {}};
            for (const RecordField& other : type.fields)
                if (other.name == field.name)
                    Error(number, item->column, "field " + field.name + " is defined twice in TYPE " + type.name);
            if (item->children.size() > 8) Error(number, item->column, "an array field has at most 8 dimensions");
            double elements = 1;
            for (const auto& size : item->children) {
                const double value = size->type == Expr::Type::Number ? std::strtod(size->text.c_str(), nullptr)
                                                                       : ConstantNumber(size->text);
                if (value < 1 || value != std::trunc(value) || value > kMaxFieldElements) {
                    Error(number, size->column,
                          size->type == Expr::Type::Number
                              ? "the size of an array field is a whole number from 1 to 100000"
                              : "the size of an array field is a whole number from 1 to 100000 or a CONST of one, not " +
                                    size->text);
                    field.sizes.push_back(1);
                    continue;
                }
                elements *= value;
                field.sizes.push_back(static_cast<int>(value));
            }
            if (elements > kMaxFieldElements)
                Error(number, item->column, "an array field holds at most 100000 elements");
            type.fields.push_back(std::move(field));
        }
    }
    static constexpr double kMaxFieldElements = 100000;

    // The value of CONST name = number (anywhere in the program); 0 when
    // the name is no such constant.
    double ConstantNumber(const std::string& name) const
    {
        for (const Line& line : program_.lines) {
            for (const auto& statement : line.statements) {
                if (statement->type != Statement::Type::Const || statement->target->text != name) continue;
                const Expr& value = *statement->value;
                if (value.type == Expr::Type::Number) return std::strtod(value.text.c_str(), nullptr);
                return 0;
            }
        }
        return 0;
    }

    // Every DIM ... AS of the program, before the variables are collected:
    // a record's name is no variable anywhere.
    void CollectRecords()
    {
        for (const RecordParameter& parameter : recordParameters_) {
            const auto type = typeIndices_.find(parameter.type);
            if (type == typeIndices_.end()) {
                Error(parameter.line, parameter.column, "unknown TYPE " + parameter.type);
                continue;
            }
            if (IsStringName(parameter.name)) {
                Error(parameter.line, parameter.column, "a record's name cannot end in '$'");
                continue;
            }
            Function& function = result_.functions[parameter.function];
            function.records[parameter.name] =
                Record{type->second, function.scope.at(parameter.name).isArray, parameter.line};
        }
        for (const Line& line : program_.lines) {
            current_ = lineFunction_[line.index];
            if (current_ >= 0)
                for (const auto& statement : line.statements) CollectRecordsOf(*statement, line.index + 1);
        }
    }

    // The record or array of records a name means here: a record parameter
    // of the SUB or FUNCTION being read, else a global one; nullptr when
    // the name is none (also when a parameter or LOCAL hides a global record).
    const Record* FindRecord(const std::string& name) const
    {
        if (IsLocal(name)) {
            const auto& records = result_.functions[current_].records;
            const auto record = records.find(name);
            return record == records.end() ? nullptr : &record->second;
        }
        const auto record = result_.records.find(name);
        return record == result_.records.end() ? nullptr : &record->second;
    }
    void CollectRecordsOf(const Statement& statement, int number)
    {
        for (const Statement* branch : {statement.then.get(), statement.otherwise.get()})
            if (branch != nullptr) CollectRecordsOf(*branch, number);
        for (const auto& each : statement.body) CollectRecordsOf(*each, number);
        if (statement.type != Statement::Type::Dim || statement.name.empty()) return;
        const Expr& target = *statement.target;
        const auto type = typeIndices_.find(statement.name);
        if (type == typeIndices_.end()) {
            Error(number, statement.column, "unknown TYPE " + statement.name);
            return;
        }
        if (target.type == Expr::Type::Field) {
            Error(number, target.column, "a field is not a record: DIM " + target.text + " in its TYPE");
            return;
        }
        if (IsStringName(target.text)) {
            Error(number, target.column, "a record's name cannot end in '$'");
            return;
        }
        if (constants_.count(target.text)) return;  // refused with the DIM as a constant's
        const Record record{type->second, target.type == Expr::Type::Element, number};
        if (IsLocal(target.text)) {
            // DIM of a record parameter makes the caller's record (or array) new.
            const Record* own = FindRecord(target.text);
            if (own == nullptr)
                Error(number, target.column,
                      target.text + " is a parameter or LOCAL of " + result_.functions[current_].name +
                          ": only its record parameters take DIM ... AS");
            else if (own->type != record.type || own->isArray != record.isArray)
                Error(number, target.column,
                      target.text + " is " + (own->isArray ? "an array of records" : "a record") + " of TYPE " +
                          result_.types[own->type].name + " (a parameter of " + result_.functions[current_].name + ")");
            return;
        }
        auto [it, added] = result_.records.emplace(target.text, record);
        if (!added && (it->second.type != record.type || it->second.isArray != record.isArray))
            Error(number, target.column,
                  target.text + " is " + (it->second.isArray ? "an array of records" : "a record") + " of TYPE " +
                      result_.types[it->second.type].name + " (DIM on " + LineReference(program_, it->second.line) + ")");
    }

    // DIM e AS Enemy, DIM foes[20] AS Enemy: the sizes are numbers.
    void CheckRecordDim(Statement& statement, int number)
    {
        Expr& target = *statement.target;
        if (target.children.size() > 8) Error(number, target.column, "DIM takes at most 8 sizes");
        if (subs_.count(target.text)) Error(number, target.column, target.text + " is the name of a SUB, not a record");
        if (target.type != Expr::Type::Element) return;
        for (auto& size : target.children) {
            CheckExpr(*size);
            if (size->isString) Error(size->line, size->column, "an array size must be a number, not a string");
        }
    }

    // The record of a variable (e) or of an element (foes[i]); the expression
    // has the shape its DIM gives it, else an error and nullptr.
    const Record* WholeRecord(Expr& expr)
    {
        const Record* record = FindRecord(expr.text);
        if (record == nullptr || expr.type == Expr::Type::Field) return nullptr;
        if (record->isArray && expr.type != Expr::Type::Element) {
            Error(expr.line, expr.column, expr.text + " is an array of records: give its indices, " + expr.text + "[...]");
            return nullptr;
        }
        if (!record->isArray && expr.type == Expr::Type::Element) {
            Error(expr.line, expr.column, expr.text + " is a record, not an array of records");
            return nullptr;
        }
        if (expr.children.size() > 8) Error(expr.line, expr.column, "an array has at most 8 dimensions");
        CheckIndices(expr, 0);
        return record;
    }

    // target = value for whole records: every field is copied. Both are
    // records of one TYPE.
    void CheckRecordCopy(Statement& statement)
    {
        Expr& target = *statement.target;
        Expr& value = *statement.value;
        const Record* into = WholeRecord(target);
        const bool valueIsRecord = FindRecord(value.text) != nullptr && value.type != Expr::Type::Field &&
                                   (value.type == Expr::Type::Variable || value.type == Expr::Type::Element);
        if (!valueIsRecord) {
            CheckExpr(value);
            if (into != nullptr)
                Error(value.line, value.column,
                      target.text + " holds records of TYPE " + result_.types[into->type].name +
                          ": assign a record of that TYPE, or assign to its fields");
            return;
        }
        const Record* from = WholeRecord(value);
        if (into != nullptr && from != nullptr && into->type != from->type)
            Error(value.line, value.column,
                  "cannot assign a record of TYPE " + result_.types[from->type].name + " to one of TYPE " +
                      result_.types[into->type].name);
    }

    // A record or an array of records standing where a value is wanted.
    bool RefuseRecord(const Expr& expr)
    {
        const Record* record = FindRecord(expr.text);
        if (record == nullptr) return false;
        const std::string& type = result_.types[record->type].name;
        if (expr.type == Expr::Type::Variable)
            Error(expr.line, expr.column, expr.text + " is a record of TYPE " + type + ": use its fields, " + expr.text + ".field");
        else
            Error(expr.line, expr.column, "an element of " + expr.text + " is a record of TYPE " + type + ": use its fields, " +
                                              expr.text + "[...].field");
        return true;
    }

    void CheckIndices(Expr& expr, std::size_t first)
    {
        for (std::size_t k = first; k < expr.children.size(); ++k) {
            Expr& index = *expr.children[k];
            CheckExpr(index);
            if (index.isString) Error(index.line, index.column, "an array index must be a number, not a string");
        }
    }

    // record.field[...]: the record exists, has the field of this kind, and
    // the field gets the indices its sizes ask for.
    void CheckField(Expr& expr)
    {
        expr.isString = IsStringName(expr.text);
        Expr& holder = *expr.children[0];
        CheckIndices(expr, 1);
        const Record* record = FindRecord(holder.text);
        if (record == nullptr) {
            Error(holder.line, holder.column, holder.text + " is not a record: DIM " + holder.text + " AS a TYPE first");
            return;
        }
        CheckIndices(holder, 0);
        if (record->isArray && holder.type != Expr::Type::Element)
            Error(holder.line, holder.column,
                  holder.text + " is an array of records: give its indices, " + holder.text + "[...]." + expr.text);
        if (!record->isArray && holder.type == Expr::Type::Element)
            Error(holder.line, holder.column, holder.text + " is a record, not an array of records");
        if (holder.children.size() > 8) Error(holder.line, holder.column, "an array has at most 8 dimensions");
        const RecordType& type = result_.types[record->type];
        const RecordField* field = nullptr;
        const RecordField* otherKind = nullptr;
        const std::string otherName = expr.isString ? expr.text.substr(0, expr.text.size() - 1) : expr.text + "$";
        for (const RecordField& each : type.fields) {
            if (each.name == expr.text) field = &each;
            if (each.name == otherName) otherKind = &each;
        }
        if (field == nullptr) {
            std::string message = "TYPE " + type.name + " has no field " + expr.text;
            if (otherKind != nullptr)
                message += std::string(": its field ") + otherName + " is " + (otherKind->isString ? "a string" : "a number");
            Error(expr.line, expr.column, message);
            return;
        }
        const std::size_t given = expr.children.size() - 1;
        const std::string where = "the field " + field->name + " of TYPE " + type.name;
        if (field->sizes.empty() && given > 0)
            Error(expr.line, expr.column, where + " is not an array");
        else if (!field->sizes.empty() && given == 0)
            Error(expr.line, expr.column, where + " is an array: give its indices, " + field->name + "[...]");
        else if (given != field->sizes.size())
            Error(expr.line, expr.column, where + " takes " + std::to_string(field->sizes.size()) +
                                              (field->sizes.size() == 1 ? " index" : " indices"));
    }

    // ---- Kinds of expressions and command arguments -----------------------------

    static bool IsArrayKind(char kind) { return kind == 'a' || kind == 'A' || kind == 'x'; }

    static std::vector<std::string> ArgumentKinds(const kvcommands::Command& command)
    {
        std::vector<std::string> kinds;
        std::string current;
        for (const char* p = command.arguments; *p; ++p) {
            if (*p == ' ') {
                if (!current.empty()) kinds.push_back(current);
                current.clear();
            } else {
                current += *p;
            }
        }
        if (!current.empty()) kinds.push_back(current);
        return kinds;
    }

    static std::string Plural(std::size_t count)
    {
        return std::to_string(count) + (count == 1 ? " argument" : " arguments");
    }

    // A name alone that means an array here (not a record, not a FUNCTION).
    bool IsArrayName(const Expr& expr)
    {
        return expr.type == Expr::Type::Variable && !UserFunction(expr.text) && IsArray(expr.text) &&
               FindRecord(expr.text) == nullptr;
    }

    // a(3) where a is an array.
    static std::string ArrayWithParentheses(const std::string& name)
    {
        return name + " is an array: its elements are written with [ ], " + name + "[...] (one pair for each index)";
    }

    static std::string NotAnArray(const std::string& name)
    {
        return name + " is a plain variable here, not an array: declare an array as " + name + "[]";
    }

    // A call of the program's own SUB or FUNCTION: as a statement (its
    // value, if any, dropped) or for its value in an expression.
    void CheckUserCall(Expr& call, bool asStatement)
    {
        const auto index = functionIndex_.find(call.text);
        const Function* function = index == functionIndex_.end() ? nullptr : &result_.functions[index->second];
        if (function == nullptr || (!asStatement && !function->isFunction)) {
            if (function != nullptr && function->hasParameterList)
                Error(call.line, call.column, call.text + " is a SUB: it has no value");
            else if (function != nullptr)
                Error(call.line, call.column, call.text + " is a SUB: call it with GOSUB " + call.text);
            else if (IsArray(call.text))
                Error(call.line, call.column, ArrayWithParentheses(call.text));
            else
                Error(call.line, call.column,
                      asStatement ? "unknown command " + call.text : "unknown command or function " + call.text);
            for (auto& child : call.children) CheckExpr(*child);
            return;
        }
        call.functionIndex = index->second;
        call.isString = function->isFunction && IsStringName(function->name);
        const std::size_t given = call.children.size(), wanted = function->parameters.size();
        if (given != wanted)
            Error(call.line, call.column,
                  call.text + " expects " + (wanted == 0 ? std::string("no arguments") : Plural(wanted)) + ", got " +
                      std::to_string(given));
        for (std::size_t k = 0; k < given; ++k) {
            Expr& argument = *call.children[k];
            if (k >= wanted) {
                CheckExpr(argument);
                continue;
            }
            const Variable& parameter = function->scope.at(function->parameters[k]);
            const std::string where = call.text + " argument " + std::to_string(k + 1);
            if (const auto record = function->records.find(function->parameters[k]); record != function->records.end()) {
                // Records are passed by reference: a record of the TYPE by its
                // name alone, or an element of an array of them (foes[i] for
                // e AS Enemy); an array of records by its name alone.
                const bool wantsArray = record->second.isArray;
                const bool isElement = argument.type == Expr::Type::Element;
                const Record* given =
                    argument.type == Expr::Type::Variable || isElement ? FindRecord(argument.text) : nullptr;
                const bool givenIsArray = given != nullptr && given->isArray && !isElement;
                const bool fits = given != nullptr && given->type == record->second.type && givenIsArray == wantsArray &&
                                  (!isElement || (given->isArray && !wantsArray));
                if (fits && isElement) CheckIndices(argument, 0);
                if (!fits) {
                    const std::string& type = result_.types[record->second.type].name;
                    if (!wantsArray && givenIsArray && given->type == record->second.type)
                        Error(argument.line, argument.column,
                              where + " must be a record of TYPE " + type + ": give one record of " + argument.text + ", " +
                                  argument.text + "[...]");
                    else
                        Error(argument.line, argument.column,
                              where + " must be " + (wantsArray ? "an array of records" : "a record") + " of TYPE " + type +
                                  (wantsArray ? ", given by its name alone"
                                              : ", given by its name alone or as an element of an array of records"));
                    if (argument.type != Expr::Type::Variable && given == nullptr) CheckExpr(argument);
                }
                continue;
            }
            if (parameter.isArray) {
                // Arrays are passed by reference: the name of an array alone.
                const bool isArrayName = argument.type == Expr::Type::Variable && !UserFunction(argument.text) &&
                                         VariableOf(argument.text).isArray && FindRecord(argument.text) == nullptr;
                if (!isArrayName || IsStringName(argument.text) != parameter.isString) {
                    Error(argument.line, argument.column,
                          where + (parameter.isString ? " must be an array of strings" : " must be an array of numbers") +
                              ", given by its name alone");
                    if (argument.type != Expr::Type::Variable) CheckExpr(argument);
                }
                argument.isString = IsStringName(argument.text);
                continue;
            }
            if (IsArrayName(argument)) {
                const std::string kind = parameter.isString ? "a string" : "a number";
                Error(argument.line, argument.column,
                      where + " must be " + kind + ": the parameter " + function->parameters[k] + " of " + call.text +
                          " is " + kind + ", and " + argument.text + " is an array (declare the parameter as " +
                          function->parameters[k] + "[] to pass the array, or give one element, " + argument.text +
                          "[...])");
                continue;
            }
            CheckExpr(argument);
            if (argument.isString != parameter.isString)
                Error(argument.line, argument.column,
                      where + (parameter.isString ? " must be a string, not a number" : " must be a number, not a string"));
        }
    }

    void CheckCall(Expr& call)
    {
        const kvcommands::Command* command = kvcommands::FindCommand(call.text.c_str());
        if (command == nullptr && UserFunction(call.text) != nullptr) {
            CheckUserCall(call, false);
            return;
        }
        if (command == nullptr) {
            if (subs_.count(call.text))
                Error(call.line, call.column, call.text + " is a SUB: call it with GOSUB " + call.text);
            else if (IsArray(call.text))
                Error(call.line, call.column, ArrayWithParentheses(call.text));
            else
                Error(call.line, call.column, "unknown command or function " + call.text);
            for (auto& child : call.children) CheckExpr(*child);
            return;
        }
        call.command = command;
        call.isString = command->result == 's';
        const std::vector<std::string> kinds = ArgumentKinds(*command);
        std::size_t required = 0;
        for (const std::string& kind : kinds)
            if (kind.size() == 1) ++required;
        const std::size_t given = call.children.size();
        if (given < required || given > kinds.size()) {
            std::string expected = required == kinds.size()
                                       ? (kinds.empty() ? std::string("no arguments") : Plural(kinds.size()))
                                       : std::to_string(required) + " to " + Plural(kinds.size());
            Error(call.line, call.column, std::string(command->name) + " expects " + expected + ", got " + std::to_string(given));
        }
        for (std::size_t k = 0; k < given; ++k) {
            Expr& argument = *call.children[k];
            if (k >= kinds.size()) {
                CheckExpr(argument);
                continue;
            }
            const char kind = kinds[k][0];
            const std::string where = std::string(command->name) + " argument " + std::to_string(k + 1);
            if (IsArrayKind(kind)) {
                const Record* records = argument.type == Expr::Type::Variable ? FindRecord(argument.text) : nullptr;
                // An array of records has sizes like any array (BOUNDS).
                if (kind == 'x' && records != nullptr && records->isArray && std::strcmp(command->name, "BOUNDS") == 0)
                    continue;
                const bool isArrayName =
                    argument.type == Expr::Type::Variable && VariableOf(argument.text).isArray && records == nullptr;
                const bool isString = IsStringName(argument.text);
                if (argument.type == Expr::Type::Variable && !IsLocal(argument.text) && subs_.count(argument.text)) {
                    Error(argument.line, argument.column, argument.text + " is the name of a SUB, not an array");
                } else if (!isArrayName || (kind == 'a' && isString) || (kind == 'A' && !isString)) {
                    Error(argument.line, argument.column,
                          where + (kind == 'a'   ? " must be an array of numbers"
                                   : kind == 'A' ? " must be an array of strings"
                                                 : " must be an array") +
                              ", given by its name alone");
                    if (argument.type != Expr::Type::Variable) CheckExpr(argument);
                }
                argument.isString = isString;
                continue;
            }
            if (kind == 'N' || kind == 'S' || kind == 'V') {
                const bool isVariable = argument.type == Expr::Type::Variable || argument.type == Expr::Type::Element ||
                                        argument.type == Expr::Type::Field;
                if (isVariable && RefuseConstant(argument, argument.line)) continue;
                CheckExpr(argument);
                if (!isVariable || (kind == 'N' && argument.isString) || (kind == 'S' && !argument.isString))
                    Error(argument.line, argument.column,
                          where + (kind == 'N'   ? " must be a number variable"
                                   : kind == 'S' ? " must be a string variable"
                                                 : " must be a variable") +
                              ": the command stores its result there");
                continue;
            }
            CheckExpr(argument);
            if (kind == 'n' && argument.isString)
                Error(argument.line, argument.column, where + " must be a number, not a string");
            if (kind == 's' && !argument.isString)
                Error(argument.line, argument.column, where + " must be a string, not a number");
        }
    }

    void CheckExpr(Expr& expr)
    {
        switch (expr.type) {
        case Expr::Type::Number:
            if (std::strtod(expr.text.c_str(), nullptr) > 1.7976931348623157e308)
                Error(expr.line, expr.column, "the number " + expr.text + " is too large for a double");
            break;
        case Expr::Type::String:
            expr.isString = true;
            expr.textIndex = TextIndex(expr.text);
            break;
        case Expr::Type::Variable: {
            expr.isString = IsStringName(expr.text);
            if (RefuseRecord(expr)) break;
            if (VariableOf(expr.text).isArray)
                Error(expr.line, expr.column, expr.text + " is an array: give its indices, " + expr.text + "[...]");
            else if (IsLocal(expr.text))
                break;
            else if (const Function* function = UserFunction(expr.text); function && function->isFunction)
                Error(expr.line, expr.column, expr.text + " is a FUNCTION: call it with its arguments, " + expr.text + "(...)");
            else if (subs_.count(expr.text))
                Error(expr.line, expr.column, expr.text + " is the name of a SUB, not a variable");
            break;
        }
        case Expr::Type::Field:
            CheckField(expr);
            break;
        case Expr::Type::Element:
            expr.isString = IsStringName(expr.text);
            RefuseRecord(expr);
            if (expr.children.size() > 8) Error(expr.line, expr.column, "an array has at most 8 dimensions");
            if (IsLocal(expr.text) && !VariableOf(expr.text).isArray)
                Error(expr.line, expr.column, NotAnArray(expr.text));
            else if (!IsLocal(expr.text) && subs_.count(expr.text))
                Error(expr.line, expr.column, expr.text + " is the name of a SUB, not an array");
            for (auto& index : expr.children) {
                CheckExpr(*index);
                if (index->isString) Error(index->line, index->column, "an array index must be a number, not a string");
            }
            break;
        case Expr::Type::Call:
            CheckCall(expr);
            break;
        case Expr::Type::Unary: {
            Expr& operand = *expr.children[0];
            CheckExpr(operand);
            if (operand.isString) Error(expr.line, expr.column, "operator " + expr.text + " needs a number, not a string");
            expr.isTruth = expr.text == "NOT";
            break;
        }
        case Expr::Type::Binary: {
            Expr& left = *expr.children[0];
            Expr& right = *expr.children[1];
            CheckExpr(left);
            CheckExpr(right);
            const std::string& op = expr.text;
            const BinaryOperator::Kind kind = expr.op->kind;
            if (op == "+") {
                expr.isString = left.isString || right.isString;
            } else if (kind != BinaryOperator::Kind::Comparison) {
                if (left.isString || right.isString)
                    Error(expr.line, expr.column, "operator " + op + " needs numbers, not strings");
                expr.isTruth = kind == BinaryOperator::Kind::Logical;
                // Keeps the kind the program meant, so the error is not repeated.
                // (MOD, \ and ^ always mean numbers.)
                expr.isString = (left.isString || right.isString) && !expr.isTruth && !expr.op->isCall;
            } else {  // comparisons
                if (left.isString != right.isString)
                    Error(expr.line, expr.column, "cannot compare a string with a number");
                expr.isTruth = true;
            }
            break;
        }
        }
    }

    int TextIndex(const std::string& text)
    {
        auto [it, added] = textIndices_.emplace(text, static_cast<int>(result_.texts.size()));
        if (added) result_.texts.push_back(text);
        return it->second;
    }

    void CheckCondition(Expr& cond)
    {
        CheckExpr(cond);
        if (cond.isString) Error(cond.line, cond.column, "a condition must be a number, not a string");
    }

    // A constant's value: literals, constants of earlier lines, operators
    // and functions whose value depends on their arguments alone.
    void CheckConstantValue(const Expr& expr, int order)
    {
        static const char* const kPure[] = {"RGB", "CHR$", "INT", "FIX", "ABS", "SGN", "ROUND", "MIN", "MAX",
                                            "SQR", "SIN", "COS", "TAN", "POW", "MOD", "LEN"};
        bool constant = true;
        if (expr.type == Expr::Type::Variable) {
            auto it = constants_.find(expr.text);
            constant = it != constants_.end() && it->second.order < order;
        } else if (expr.type == Expr::Type::Element || expr.type == Expr::Type::Field) {
            constant = false;
        } else if (expr.type == Expr::Type::Call) {
            constant = expr.command != nullptr &&
                       std::find_if(std::begin(kPure), std::end(kPure), [&](const char* name) {
                           return std::string(name) == expr.command->name;
                       }) != std::end(kPure);
        }
        if (!constant) {
            Error(expr.line, expr.column,
                  "a CONST value is made of numbers, strings, constants defined before, operators and such functions as RGB, not " +
                      expr.text);
            return;
        }
        for (const auto& child : expr.children) CheckConstantValue(*child, order);
    }

    bool RefuseConstant(const Expr& target, int number)
    {
        if (target.type == Expr::Type::Field || !VariableOf(target.text).isConst) return false;
        Error(number, target.column, target.text + " is a constant: it keeps the value CONST gives it");
        return true;
    }

    void CheckAssignmentTarget(Expr& target, int number, const char* what)
    {
        if (RefuseConstant(target, number)) return;
        if (target.type == Expr::Type::Variable && !IsLocal(target.text)) {
            if (const Function* function = UserFunction(target.text); function != nullptr && function->isFunction) {
                Error(number, target.column,
                      target.text + " is a FUNCTION: RETURN value gives a FUNCTION its value, not an assignment to its name");
                return;
            }
        }
        if (target.type == Expr::Type::Variable && VariableOf(target.text).isArray) {
            Error(number, target.column, target.text + " is an array: " + what + " one element, " + target.text + "[...]");
            return;
        }
        CheckExpr(target);
    }

    void CheckNamesOf(Statement& statement, int number)
    {
        using T = Statement::Type;
        switch (statement.type) {
        case T::Assign: {
            if (FindRecord(statement.target->text) != nullptr && statement.target->type != Expr::Type::Field) {
                CheckRecordCopy(statement);
                break;
            }
            CheckAssignmentTarget(*statement.target, number, "assign to");
            CheckExpr(*statement.value);
            const bool targetIsString = IsStringName(statement.target->text);
            if (targetIsString && !statement.value->isString)
                Error(number, statement.value->column,
                      "cannot assign a number to the string variable " + statement.target->text);
            if (!targetIsString && statement.value->isString)
                Error(number, statement.value->column,
                      "cannot assign a string to the number variable " + statement.target->text);
            break;
        }
        case T::Call:
            CheckCall(*statement.call);
            break;
        case T::UserCall:
            CheckUserCall(*statement.call, true);
            break;
        case T::Return:
            if (statement.value) CheckReturnValue(*statement.value);
            break;
        case T::If:
            CheckCondition(*statement.cond);
            CheckNamesOf(*statement.then, number);
            if (statement.otherwise) CheckNamesOf(*statement.otherwise, number);
            break;
        case T::IfBlock:
        case T::ElseIf:
        case T::While:
        case T::Until:
            CheckCondition(*statement.cond);
            break;
        case T::For: {
            Expr& target = *statement.target;
            if (RefuseConstant(target, number)) break;
            if (target.type != Expr::Type::Variable || IsStringName(target.text) || VariableOf(target.text).isArray)
                Error(number, target.column, "FOR needs a number variable, not " +
                                                  std::string(target.type == Expr::Type::Field ? "a field"
                                                              : IsStringName(target.text) ? "a string"
                                                                                          : "an array"));
            else
                CheckExpr(target);
            for (Expr* bound : {statement.from.get(), statement.to.get(), statement.step.get()}) {
                if (bound == nullptr) continue;
                CheckExpr(*bound);
                if (bound->isString) Error(bound->line, bound->column, "FOR needs numbers, not strings");
            }
            break;
        }
        case T::Sequence:
            for (auto& each : statement.body) CheckNamesOf(*each, number);
            break;
        case T::Data:
            for (auto& item : statement.items) CheckExpr(*item);
            break;
        case T::Select:
            CheckExpr(*statement.value);
            if (statement.selectId >= 0) result_.selectIsString[statement.selectId] = statement.value->isString;
            break;
        case T::Case:
            for (auto& item : statement.cases) {
                for (Expr* value : {item.value.get(), item.to.get()}) {
                    if (value == nullptr) continue;
                    CheckExpr(*value);
                    const bool wanted = statement.selectId >= 0 && result_.selectIsString[statement.selectId];
                    if (statement.selectId >= 0 && value->isString != wanted)
                        Error(value->line, value->column,
                              std::string("CASE needs ") + (wanted ? "strings" : "numbers") + " like its SELECT CASE");
                }
            }
            break;
        case T::Read:
            for (auto& item : statement.items) CheckAssignmentTarget(*item, number, "READ into");
            break;
        case T::Const: {
            Expr& target = *statement.target;
            if (target.type != Expr::Type::Variable) {
                Error(number, target.column, "a constant is a plain name, not an array");
                break;
            }
            CheckExpr(*statement.value);
            if (IsStringName(target.text) != statement.value->isString)
                Error(number, statement.value->column,
                      std::string("cannot give the ") + (IsStringName(target.text) ? "string" : "number") + " constant " +
                          target.text + " a " + (statement.value->isString ? "string" : "number"));
            // A CONST refused in a block still gets its value checked.
            const auto own = constants_.find(target.text);
            CheckConstantValue(*statement.value, own != constants_.end() ? own->second.order : constantCount_);
            break;
        }
        case T::Gosub:
            if (result_.variables.count(statement.name) && subs_.count(statement.name))
                Error(number, statement.column, statement.name + " is the name of a SUB and of a variable");
            break;
        case T::Dim: {
            Expr& target = *statement.target;
            if (RefuseConstant(target, number)) break;
            if (!statement.name.empty()) {
                CheckRecordDim(statement, number);
                break;
            }
            if (const Record* record = FindRecord(target.text)) {
                const std::string& type = result_.types[record->type].name;
                Error(number, target.column, target.text + " holds records of TYPE " + type + ": DIM it AS " + type);
                break;
            }
            if (target.children.size() > 8) Error(number, target.column, "DIM takes at most 8 sizes");
            if (IsLocal(target.text) && !VariableOf(target.text).isArray)
                Error(number, target.column, NotAnArray(target.text));
            else if (!IsLocal(target.text) && subs_.count(target.text))
                Error(number, target.column, target.text + " is the name of a SUB, not an array");
            for (auto& size : target.children) {
                CheckExpr(*size);
                if (size->isString) Error(size->line, size->column, "an array size must be a number, not a string");
            }
            break;
        }
        default:
            break;
        }
    }

    // RETURN value in a FUNCTION: a string for a name ending in '$', else a number.
    void CheckReturnValue(Expr& value)
    {
        CheckExpr(value);
        if (current_ <= 0 || !result_.functions[current_].isFunction) return;
        const std::string& name = result_.functions[current_].name;
        if (IsStringName(name) != value.isString)
            Error(value.line, value.column,
                  "FUNCTION " + name + (IsStringName(name) ? " returns a string, not a number" : " returns a number, not a string"));
    }

    void CheckNames()
    {
        // No parameter or LOCAL may hide a SUB or FUNCTION: the call would not reach it.
        for (const Declaration& declared : declarations_)
            if (subs_.count(declared.name))
                Error(declared.line, declared.column, declared.name + " is the name of a SUB or FUNCTION, not a variable");
        for (Line& line : program_.lines) {
            current_ = lineFunction_[line.index];
            if (current_ >= 0)
                for (auto& statement : line.statements) CheckNamesOf(*statement, line.index + 1);
        }
    }

    struct Jump {
        bool isGosub;
        std::string name;
        int function;
        int line, column;
    };

    Program& program_;
    Diagnostics& diagnostics_;
    CheckedProgram result_;
    std::vector<int> lineFunction_;
    int current_ = 0;  // function index; -1 between ENDSUB and the next SUB
    std::map<std::string, int> subs_;                 // SUB and FUNCTION name -> line
    std::map<std::string, int> functionIndex_;        // SUB and FUNCTION name -> index in result_.functions
    struct Declaration {
        std::string name;
        int line, column;
    };
    std::vector<Declaration> declarations_;  // parameters and LOCALs
    // A parameter declared name AS Type or name[] AS Type, resolved once
    // every TYPE is known.
    struct RecordParameter {
        int function;
        std::string name, type;
        int line, column;
    };
    std::vector<RecordParameter> recordParameters_;

    struct Restore {
        std::string label;
        int line, column;
    };
    std::vector<Restore> restores_;
    struct Constant {
        int line;   // 1-based
        int order;  // of the CONST statements in the source
    };
    std::map<std::string, Constant> constants_;
    int constantCount_ = 0;
    std::map<int, std::map<std::string, int>> labels_;  // function -> label -> line
    std::vector<Jump> jumps_;
    std::map<std::string, int> textIndices_;
    std::set<std::string> scalarUses_, arrayArguments_;
    std::map<std::string, int> typeIndices_;  // TYPE name -> in result_.types
};

}  // namespace

CheckedProgram Check(Program& program, Diagnostics& diagnostics)
{
    return Checker(program, diagnostics).Run();
}

}  // namespace kvbasic
