#include "variables.h"

#include <sstream>

#include "value_text.h"

namespace kvdap {

namespace {

// The sizes in an array's DETAIL after its first `skip` words.
std::vector<long long> Sizes(const std::string& detail, int skip)
{
    std::istringstream words(detail);
    std::string word;
    std::vector<long long> sizes;
    for (int k = 0; words >> word; ++k) {
        if (k < skip) continue;
        try {
            sizes.push_back(std::stoll(word));
        } catch (...) {
            return {};
        }
    }
    return sizes;
}

std::string FirstWord(const std::string& detail) { return detail.substr(0, detail.find(' ')); }

std::string SizeText(const std::vector<long long>& sizes)
{
    std::string text;
    for (const long long size : sizes) text += "[" + std::to_string(size) + "]";
    return text;
}

}  // namespace

int ElementCount(const ChannelValue& value)
{
    const std::vector<long long> sizes = Sizes(value.detail, 1);
    if (sizes.empty()) return 0;
    long long count = 1;
    for (const long long size : sizes) {
        if (size <= 0) return 0;
        count *= size;
        if (count > 1'000'000'000) return 1'000'000'000;
    }
    return static_cast<int>(count);
}

std::string DisplayText(const ChannelValue& value)
{
    if (value.kind == "number") return value.text;
    if (value.kind == "string") return "\"" + Latin1ToUtf8(value.text) + "\"";
    if (value.kind == "array") {
        const std::string what = FirstWord(value.detail) == "s" ? "strings" : "numbers";
        const std::vector<long long> sizes = Sizes(value.detail, 1);
        return sizes.empty() ? "array of " + what + " (no DIM yet)" : "array" + SizeText(sizes) + " of " + what;
    }
    if (value.kind == "record") return Latin1ToUtf8(value.detail);
    if (value.kind == "records") {
        const std::vector<long long> sizes = Sizes(value.detail, 1);
        const std::string type = Latin1ToUtf8(FirstWord(value.detail));
        return sizes.empty() ? "array of " + type + " (no DIM yet)" : "array" + SizeText(sizes) + " of " + type;
    }
    return Latin1ToUtf8(value.text);
}

int VariableHandles::Add(Handle handle)
{
    handles_.push_back(std::move(handle));
    return static_cast<int>(handles_.size());
}

const Handle* VariableHandles::Find(int reference) const
{
    if (reference <= 0 || static_cast<std::size_t>(reference) > handles_.size()) return nullptr;
    return &handles_[reference - 1];
}

std::string VariableHandles::ChildPath(const Handle& parent, const std::string& name)
{
    if (parent.kind == Handle::Kind::Scope) return parent.path + ":" + name;
    if (!name.empty() && name[0] == '(') return parent.path + name;
    return parent.path + "." + name;
}

std::string VariableHandles::ChildExpression(const Handle& parent, const std::string& name)
{
    if (parent.kind == Handle::Kind::Scope) return name;
    if (name.empty() || name[0] != '(') return parent.expression + "." + name;
    // "(1,2)" on the channel is "[1][2]" in BASIC.
    std::string text = parent.expression + "[";
    for (const char c : name.substr(1, name.size() - 2)) text += c == ',' ? std::string("][") : std::string(1, c);
    return text + "]";
}

Json VariableHandles::Described(const ChannelValue& value, const std::string& path, const std::string& expression)
{
    Json described = Json::Object().Set("value", DisplayText(value)).Set("type", value.kind);
    int reference = 0;
    if (value.kind == "array" || value.kind == "records") {
        const int elements = ElementCount(value);
        if (elements > 0) {
            reference = Add({Handle::Kind::Array, path, expression, elements});
            described.Set("indexedVariables", elements);
        }
    } else if (value.kind == "record") {
        reference = Add({Handle::Kind::Record, path, expression, 0});
    }
    described.Set("variablesReference", reference);
    return described;
}

Json VariableHandles::Variable(const Handle& parent, const std::string& name, const ChannelValue& value)
{
    const std::string expression = ChildExpression(parent, name);
    Json variable = Described(value, ChildPath(parent, name), expression);
    variable.Set("name", Latin1ToUtf8(name));
    variable.Set("evaluateName", Latin1ToUtf8(expression));
    return variable;
}

}  // namespace kvdap
