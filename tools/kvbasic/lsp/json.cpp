#include "json.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "utf8.h"

namespace kvlsp {

namespace {

const Json::Value& Null()
{
    static const Json::Value null;
    return null;
}

// Whole numbers as integers, so that they are written without a fraction
// ("3", not "3.0"), as far as a double holds them exactly and as printf's
// %.17g would write all their digits; JSON has no NaN or infinity.
Json::Value NumberValue(double number)
{
    if (!std::isfinite(number)) return 0;
    if (number == std::floor(number) && std::fabs(number) < 1e17) return static_cast<std::int64_t>(number);
    return number;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code of the \uXXXX escape at text[pos], or -1.
long EscapedCode(std::string_view text, std::size_t pos)
{
    if (pos + 6 > text.size() || text[pos] != '\\' || text[pos + 1] != 'u') return -1;
    long code = 0;
    for (std::size_t k = pos + 2; k < pos + 6; ++k) {
        const int digit = HexDigit(text[k]);
        if (digit < 0) return -1;
        code = code * 16 + digit;
    }
    return code;
}

// A message's text as the JSON library is given it: its nesting checked
// (the library's parser has no limit, and values nested deeply enough
// exhaust the stack of whoever walks them), bytes that are no UTF-8 read
// as Latin-1, and a lone surrogate escape, which the library rejects,
// replaced by U+FFFD's. The text is copied only when something changes.
class ParserInput {
public:
    // False, with `error`, when values are nested deeper than Json::kMaxDepth.
    bool Prepare(std::string_view text, std::string& error)
    {
        text_ = text;
        int depth = 0;
        bool inString = false;
        for (std::size_t pos = 0; pos < text.size();) {
            const unsigned char c = static_cast<unsigned char>(text[pos]);
            if (c >= 0x80) {
                pos += CheckedCharacter(pos);
            } else if (inString) {
                if (c == '"') inString = false;
                pos += c == '\\' ? Escape(pos) : 1;
            } else {
                if (c == '{' || c == '[') {
                    if (++depth > Json::kMaxDepth) {
                        error = "nested too deeply at byte " + std::to_string(pos);
                        return false;
                    }
                } else if ((c == '}' || c == ']') && depth > 0) {
                    --depth;
                } else if (c == '"') {
                    inString = true;
                }
                ++pos;
            }
        }
        if (!changed_.empty()) changed_.append(text, copied_, std::string_view::npos);
        return true;
    }

    std::string_view text() const { return changed_.empty() ? text_ : std::string_view(changed_); }

private:
    // Puts `replacement` for `length` bytes at `pos`.
    void Replace(std::size_t pos, std::size_t length, std::string_view replacement)
    {
        changed_.append(text_, copied_, pos - copied_);
        changed_ += replacement;
        copied_ = pos + length;
    }

    // The length of the character at `pos`, Latin-1 read as one byte.
    std::size_t CheckedCharacter(std::size_t pos)
    {
        char32_t code = 0;
        const int length = kvbasic::DecodeUtf8(text_, pos, code);
        if (length > 0) return length;
        std::string latin1;
        kvbasic::AppendUtf8(latin1, static_cast<unsigned char>(text_[pos]));
        Replace(pos, 1, latin1);
        return 1;
    }

    // The length of the escape at `pos` in a string.
    std::size_t Escape(std::size_t pos)
    {
        const long code = EscapedCode(text_, pos);
        if (code < 0) return pos + 1 < text_.size() && static_cast<unsigned char>(text_[pos + 1]) < 0x80 ? 2 : 1;
        if (code >= 0xD800 && code <= 0xDBFF) {
            const long low = EscapedCode(text_, pos + 6);
            if (low >= 0xDC00 && low <= 0xDFFF) return 12;
        }
        if (code >= 0xD800 && code <= 0xDFFF) Replace(pos, 6, "\\ufffd");
        return 6;
    }

    std::string_view text_;
    std::string changed_;
    std::size_t copied_ = 0;
};

}  // namespace

Json::Json(double value) : value_(NumberValue(value)) {}

Json::Json(std::string text)
    : value_(kvbasic::IsUtf8(text) ? std::move(text) : kvbasic::Utf8OrLatin1ToUtf8(text))
{
}

Json::Json(Json&& other) noexcept
    : value_(other.view_ != nullptr ? Value(*other.view_) : std::move(other.value_))
{
}

Json& Json::operator=(const Json& other)
{
    value_ = other.value();
    view_ = nullptr;
    return *this;
}

Json& Json::operator=(Json&& other) noexcept
{
    if (other.view_ != nullptr) value_ = *other.view_;
    else value_ = std::move(other.value_);
    view_ = nullptr;
    return *this;
}

Json Json::Owning(Value value)
{
    Json json;
    json.value_ = std::move(value);
    return json;
}

Json Json::ViewOf(const Value& value) { return Json(ViewTag{}, value); }

Json::Value& Json::Own()
{
    if (view_ != nullptr) {
        value_ = *view_;
        view_ = nullptr;
    }
    return value_;
}

Json Json::operator[](std::string_view key) const
{
    const Value& self = value();
    if (self.is_object()) {
        const auto member = self.find(key);
        if (member != self.end()) return ViewOf(*member);
    }
    return ViewOf(Null());
}

Json Json::operator[](std::size_t index) const
{
    const Value& self = value();
    if (self.is_array() && index < self.size()) return ViewOf(self[index]);
    return ViewOf(Null());
}

bool Json::Has(std::string_view key) const { return value().is_object() && value().contains(key); }

int Json::AsInt(int fallback) const
{
    const Value& self = value();
    if (self.is_number_unsigned()) {
        const auto number = self.get<std::uint64_t>();
        return number <= static_cast<std::uint64_t>(std::numeric_limits<int>::max()) ? static_cast<int>(number) : fallback;
    }
    if (self.is_number_integer()) {
        const auto number = self.get<std::int64_t>();
        return number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max() ? static_cast<int>(number)
                                                                                                    : fallback;
    }
    if (!self.is_number_float()) return fallback;
    const double number = self.get<double>();
    if (!std::isfinite(number) || number != std::floor(number) || number < -2147483648.0 || number > 2147483647.0)
        return fallback;
    return static_cast<int>(number);
}

const std::string& Json::AsString() const
{
    static const std::string empty;
    return IsString() ? value().get_ref<const std::string&>() : empty;
}

std::vector<std::pair<std::string, Json>> Json::Members() const
{
    std::vector<std::pair<std::string, Json>> members;
    if (!IsObject()) return members;
    for (const auto& [key, member] : value().items()) members.emplace_back(key, ViewOf(member));
    return members;
}

Json& Json::Set(std::string key, Json member)
{
    Value& self = Own();
    if (self.is_null()) self = Value::object();
    if (!self.is_object()) return *this;
    if (!kvbasic::IsUtf8(key)) key = kvbasic::Utf8OrLatin1ToUtf8(key);
    self[std::move(key)] = std::move(member.Own());
    return *this;
}

Json& Json::Push(Json item)
{
    Value& self = Own();
    if (self.is_null()) self = Value::array();
    if (self.is_array()) self.push_back(std::move(item.Own()));
    return *this;
}

std::string Json::Dump() const
{
    // Every string is valid UTF-8 already; replacing instead of throwing
    // keeps a writer that cannot fail all the same.
    return value().dump(-1, ' ', false, Value::error_handler_t::replace);
}

std::optional<Json> Json::Parse(std::string_view text, std::string* error)
{
    ParserInput input;
    std::string tooDeep;
    if (!input.Prepare(text, tooDeep)) {
        if (error != nullptr) *error = tooDeep;
        return std::nullopt;
    }
    // Whole numbers read as integers, as Json(double) makes them.
    const auto wholeNumbers = [](int, Value::parse_event_t event, Value& parsed) {
        if (event == Value::parse_event_t::value && parsed.is_number_float()) parsed = NumberValue(parsed.get<double>());
        return true;
    };
    const std::string_view prepared = input.text();
    Value value = Value::parse(prepared.begin(), prepared.end(), wholeNumbers, false);
    if (value.is_discarded()) {
        if (error != nullptr) *error = "not valid JSON";
        return std::nullopt;
    }
    return Owning(std::move(value));
}

}  // namespace kvlsp
