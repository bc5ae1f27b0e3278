// JSON values for the language server's messages: parsed from untrusted
// bytes (bounded nesting, every read checked) and written back as text.
// Reading never throws: a missing member or a value of another type reads
// as null, false, 0 or "", so a handler copes with any message it is sent.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kvlsp {

class Json {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };

    Json() = default;
    Json(std::nullptr_t) {}
    Json(bool value) : type_(Type::Bool), bool_(value) {}
    Json(double value) : type_(Type::Number), number_(value) {}
    Json(int value) : type_(Type::Number), number_(value) {}
    Json(std::string value) : type_(Type::String), string_(std::move(value)) {}
    Json(const char* value) : type_(Type::String), string_(value) {}
    static Json Array() { return Json(Type::Array); }
    static Json Object() { return Json(Type::Object); }

    Type type() const { return type_; }
    bool IsNull() const { return type_ == Type::Null; }
    bool IsNumber() const { return type_ == Type::Number; }
    bool IsString() const { return type_ == Type::String; }
    bool IsArray() const { return type_ == Type::Array; }
    bool IsObject() const { return type_ == Type::Object; }

    // The member `key` of an object, else null.
    const Json& operator[](std::string_view key) const;
    // Element `index` of an array, else null.
    const Json& operator[](std::size_t index) const;
    bool Has(std::string_view key) const;

    bool AsBool() const { return type_ == Type::Bool && bool_; }
    double AsNumber() const { return type_ == Type::Number ? number_ : 0; }
    // A whole number within int's range, else `fallback`.
    int AsInt(int fallback = 0) const;
    const std::string& AsString() const;
    const std::vector<Json>& Items() const { return items_; }
    // An object's members in their order (none for other types).
    const std::vector<std::pair<std::string, Json>>& Members() const { return members_; }
    std::size_t Size() const { return type_ == Type::Array ? items_.size() : type_ == Type::Object ? members_.size() : 0; }

    // Building: Set on an object (or null, which becomes one), Push on an
    // array (or null). Both return *this for chaining.
    Json& Set(std::string key, Json value);
    Json& Push(Json value);

    // Compact JSON text. Bytes of strings that are not UTF-8 are taken as
    // Latin-1 (the translator's messages quote Latin-1 string literals), so
    // the text is always valid UTF-8.
    std::string Dump() const;

    // The value of `text`, or nothing with a message in `error`.
    static std::optional<Json> Parse(std::string_view text, std::string* error = nullptr);

    // Objects and arrays nested deeper than this are rejected by Parse.
    static constexpr int kMaxDepth = 128;

private:
    friend class JsonParser;
    explicit Json(Type type) : type_(type) {}
    void DumpTo(std::string& out) const;

    Type type_ = Type::Null;
    bool bool_ = false;
    double number_ = 0;
    std::string string_;
    std::vector<Json> items_;
    std::vector<std::pair<std::string, Json>> members_;
};

}  // namespace kvlsp
