// The editor's view of the program's variables: each scope, array and
// record shown gets a handle (its variablesReference) that names its
// channel path; the handles hold while the program stays stopped and are
// forgotten when it runs on. Values become the protocol's variables:
// numbers as numbers, strings as their text in quotes, arrays with their
// element count for paging, records with their fields.
#pragma once

#include <string>
#include <vector>

#include "../lsp/json.h"
#include "channel.h"

namespace kvdap {

using kvlsp::Json;

struct Handle {
    enum class Kind { Scope, Array, Record } kind = Kind::Scope;
    std::string path;        // `G`, `L0`, or a variable's path (`L0:foes`, `G:player.pos`)
    std::string expression;  // the BASIC that names it (`foes[2].x`); "" for a scope
    int elements = 0;        // of an array: how many there are
};

class VariableHandles {
public:
    int Add(Handle handle);
    // The handle `reference` names, or nullptr.
    const Handle* Find(int reference) const;
    void Clear() { handles_.clear(); }

    // The protocol's variable for a child named `name` of `parent`
    // (`parent` "" for a scope's own variables, whose names are BASIC's).
    Json Variable(const Handle& parent, const std::string& name, const ChannelValue& value);
    // The value, its type and its handle (0 when it has no children), as
    // evaluate and setVariable answer them.
    Json Described(const ChannelValue& value, const std::string& path, const std::string& expression);

    // The path and the BASIC of a child of `parent`.
    static std::string ChildPath(const Handle& parent, const std::string& name);
    static std::string ChildExpression(const Handle& parent, const std::string& name);

private:
    std::vector<Handle> handles_;  // reference k + 1 is handles_[k]
};

// The text the editor shows for a value.
std::string DisplayText(const ChannelValue& value);
// How many elements an array's or an array of records' DETAIL counts
// (the product of its sizes; 0 before DIM).
int ElementCount(const ChannelValue& value);

}  // namespace kvdap
