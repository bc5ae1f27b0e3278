// JSON values for the language server's and the debug adapter's messages,
// held by the JSON library (members in the order they were set).
// Parse reads untrusted bytes without throwing, with bounded nesting.
// Reading never throws either: a missing member or a value of another type
// reads as null, false, 0 or "", so a handler copes with any message it is
// sent. Strings are made valid UTF-8 where they enter (the program's and
// the translator's texts hold Latin-1 bytes), so writing never fails.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace kvlsp {

class Json {
public:
    using Value = nlohmann::ordered_json;
    class ItemRange;

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : value_(value) {}
    Json(double value);
    Json(int value) : value_(value) {}
    Json(std::string text);
    Json(const char* text) : Json(std::string(text)) {}
    static Json Array() { return Owning(Value::array()); }
    static Json Object() { return Owning(Value::object()); }

    // A member or element read from a value is a view of it, valid while
    // the value lives, as a reference would be (and so is a Json made
    // from the read itself: Json id = message["id"]). A copy, and a value
    // moved into an optional, a container or another Json, owns what it
    // holds.
    Json(const Json& other) : value_(other.value()) {}
    Json(Json&& other) noexcept;
    Json& operator=(const Json& other);
    Json& operator=(Json&& other) noexcept;

    bool IsNull() const { return value().is_null(); }
    bool IsNumber() const { return value().is_number(); }
    bool IsString() const { return value().is_string(); }
    bool IsArray() const { return value().is_array(); }
    bool IsObject() const { return value().is_object(); }

    // The member `key` of an object, else null.
    Json operator[](std::string_view key) const;
    // Element `index` of an array, else null.
    Json operator[](std::size_t index) const;
    bool Has(std::string_view key) const;

    bool AsBool() const { return value().is_boolean() && value().get<bool>(); }
    double AsNumber() const { return value().is_number() ? value().get<double>() : 0; }
    // A whole number within int's range, else `fallback`.
    int AsInt(int fallback = 0) const;
    const std::string& AsString() const;
    // An array's elements (none for other types).
    ItemRange Items() const;
    // An object's members in their order (none for other types).
    std::vector<std::pair<std::string, Json>> Members() const;
    std::size_t Size() const { return IsArray() || IsObject() ? value().size() : 0; }

    // Building: Set on an object (or null, which becomes one), Push on an
    // array (or null). Both return *this for chaining.
    Json& Set(std::string key, Json member);
    Json& Push(Json item);

    // Compact JSON text, valid UTF-8.
    std::string Dump() const;

    // The value of `text`, or nothing with a message in `error`. Bytes that
    // are no UTF-8 are read as Latin-1, a lone surrogate escape as U+FFFD.
    static std::optional<Json> Parse(std::string_view text, std::string* error = nullptr);

    // Objects and arrays nested deeper than this are rejected by Parse.
    static constexpr int kMaxDepth = 128;

private:
    struct ViewTag {};
    Json(ViewTag, const Value& viewed) : view_(&viewed) {}
    static Json Owning(Value value);
    static Json ViewOf(const Value& value);
    const Value& value() const { return view_ != nullptr ? *view_ : value_; }
    // The value itself, copied from the viewed one first.
    Value& Own();

    Value value_;
    const Value* view_ = nullptr;
};

class Json::ItemRange {
public:
    class Iterator {
    public:
        Iterator(const Value* array, std::size_t index) : array_(array), index_(index) {}
        Json operator*() const { return ViewOf((*array_)[index_]); }
        Iterator& operator++()
        {
            ++index_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return index_ != other.index_; }

    private:
        const Value* array_;
        std::size_t index_;
    };

    explicit ItemRange(const Value& value) : array_(&value), size_(value.is_array() ? value.size() : 0) {}
    Iterator begin() const { return {array_, 0}; }
    Iterator end() const { return {array_, size_}; }

private:
    const Value* array_;
    std::size_t size_;
};

inline Json::ItemRange Json::Items() const { return ItemRange(value()); }

}  // namespace kvlsp
