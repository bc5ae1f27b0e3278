#include "json.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kvlsp {

namespace {

const Json& Null()
{
    static const Json null;
    return null;
}

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at text[pos], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t pos)
{
    const unsigned char first = static_cast<unsigned char>(text[pos]);
    std::size_t length = first < 0x80 ? 1 : (first & 0xE0) == 0xC0 ? 2 : (first & 0xF0) == 0xE0 ? 3 : (first & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || pos + length > text.size()) return 0;
    unsigned code = length == 1 ? first : length == 2 ? first & 0x1F : length == 3 ? first & 0x0F : first & 0x07;
    for (std::size_t k = 1; k < length; ++k) {
        const unsigned char next = static_cast<unsigned char>(text[pos + k]);
        if ((next & 0xC0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3F);
    }
    static const unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void DumpString(const std::string& text, std::string& out)
{
    out += '"';
    for (std::size_t pos = 0; pos < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else if (c >= 0x80) {
            const std::size_t length = Utf8Length(text, pos);
            if (length == 0) {
                AppendUtf8(out, c);  // a Latin-1 byte
                ++pos;
            } else {
                out.append(text, pos, length);
                pos += length;
            }
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++pos;
    }
    out += '"';
}

}  // namespace

class JsonParser {
public:
    explicit JsonParser(std::string_view text) : text_(text) {}

    std::optional<Json> Document(std::string* error)
    {
        Json value;
        if (ParseValue(value, 0)) {
            SkipSpace();
            if (pos_ == text_.size()) return value;
            Fail("text after the value");
        }
        if (error != nullptr) *error = error_ + " at byte " + std::to_string(pos_);
        return std::nullopt;
    }

private:
    bool Fail(const char* message)
    {
        if (error_.empty()) error_ = message;
        return false;
    }
    void SkipSpace()
    {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
            ++pos_;
    }
    bool Literal(std::string_view word)
    {
        if (text_.substr(pos_, word.size()) != word) return Fail("unknown literal");
        pos_ += word.size();
        return true;
    }

    bool ParseValue(Json& value, int depth)
    {
        SkipSpace();
        if (pos_ >= text_.size()) return Fail("unexpected end");
        const char c = text_[pos_];
        if (c == '{' || c == '[') {
            if (depth >= Json::kMaxDepth) return Fail("nested too deeply");
            return c == '{' ? ParseObject(value, depth + 1) : ParseArray(value, depth + 1);
        }
        if (c == '"') {
            std::string text;
            if (!ParseString(text)) return false;
            value = Json(std::move(text));
            return true;
        }
        if (c == 't') return Literal("true") && (value = Json(true), true);
        if (c == 'f') return Literal("false") && (value = Json(false), true);
        if (c == 'n') return Literal("null") && (value = Json(), true);
        if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(value);
        return Fail("unexpected character");
    }

    bool ParseObject(Json& value, int depth)
    {
        value = Json::Object();
        ++pos_;  // '{'
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
            std::string key;
            if (!ParseString(key)) return false;
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            Json member;
            if (!ParseValue(member, depth)) return false;
            // Appended as they come: a later duplicate is never read.
            value.members_.emplace_back(std::move(key), std::move(member));
            SkipSpace();
            if (pos_ >= text_.size()) return Fail("unexpected end in an object");
            if (text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            if (text_[pos_] != ',') return Fail("expected ',' or '}'");
            ++pos_;
        }
    }

    bool ParseArray(Json& value, int depth)
    {
        value = Json::Array();
        ++pos_;  // '['
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            Json item;
            if (!ParseValue(item, depth)) return false;
            value.Push(std::move(item));
            SkipSpace();
            if (pos_ >= text_.size()) return Fail("unexpected end in an array");
            if (text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            if (text_[pos_] != ',') return Fail("expected ',' or ']'");
            ++pos_;
        }
    }

    bool ParseHex4(unsigned& code)
    {
        if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
        code = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = text_[pos_++];
            code <<= 4;
            if (c >= '0' && c <= '9') code |= c - '0';
            else if (c >= 'a' && c <= 'f') code |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') code |= c - 'A' + 10;
            else return Fail("bad \\u escape");
        }
        return true;
    }

    bool ParseString(std::string& out)
    {
        ++pos_;  // '"'
        for (;;) {
            if (pos_ >= text_.size()) return Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(text_[pos_]);
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (c < 0x20) return Fail("control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                ++pos_;
                continue;
            }
            if (++pos_ >= text_.size()) return Fail("unterminated escape");
            const char e = text_[pos_++];
            switch (e) {
            case '"': out += '"'; break;
            case '\\': out += '\\'; break;
            case '/': out += '/'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned code = 0;
                if (!ParseHex4(code)) return false;
                // A surrogate pair makes one character; a lone surrogate
                // becomes the replacement character.
                if (code >= 0xD800 && code <= 0xDBFF && text_.substr(pos_, 2) == "\\u") {
                    const std::size_t back = pos_;
                    pos_ += 2;
                    unsigned low = 0;
                    if (!ParseHex4(low)) return false;
                    if (low >= 0xDC00 && low <= 0xDFFF) {
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    } else {
                        pos_ = back;
                        code = 0xFFFD;
                    }
                } else if (code >= 0xD800 && code <= 0xDFFF) {
                    code = 0xFFFD;
                }
                AppendUtf8(out, code);
                break;
            }
            default: return Fail("unknown escape");
            }
        }
    }

    bool ParseNumber(Json& value)
    {
        const std::size_t start = pos_;
        if (text_[pos_] == '-') ++pos_;
        auto digits = [&] {
            const std::size_t from = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
            return pos_ > from;
        };
        const std::size_t first = pos_;
        if (!digits()) return Fail("expected digits");
        if (text_[first] == '0' && pos_ - first > 1) return Fail("a number starts with 0");
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            if (!digits()) return Fail("expected digits after '.'");
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
            if (!digits()) return Fail("expected digits in the exponent");
        }
        // strtod needs a terminated copy.
        const std::string number(text_.substr(start, pos_ - start));
        value = Json(std::strtod(number.c_str(), nullptr));
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string error_;
};

const Json& Json::operator[](std::string_view key) const
{
    if (type_ != Type::Object) return Null();
    for (const auto& [name, value] : members_)
        if (name == key) return value;
    return Null();
}

const Json& Json::operator[](std::size_t index) const
{
    if (type_ != Type::Array || index >= items_.size()) return Null();
    return items_[index];
}

bool Json::Has(std::string_view key) const
{
    if (type_ != Type::Object) return false;
    for (const auto& member : members_)
        if (member.first == key) return true;
    return false;
}

int Json::AsInt(int fallback) const
{
    if (type_ != Type::Number || !std::isfinite(number_) || number_ != std::floor(number_) || number_ < -2147483648.0 ||
        number_ > 2147483647.0)
        return fallback;
    return static_cast<int>(number_);
}

const std::string& Json::AsString() const
{
    static const std::string empty;
    return type_ == Type::String ? string_ : empty;
}

Json& Json::Set(std::string key, Json value)
{
    if (type_ == Type::Null) type_ = Type::Object;
    if (type_ != Type::Object) return *this;
    for (auto& member : members_)
        if (member.first == key) {
            member.second = std::move(value);
            return *this;
        }
    members_.emplace_back(std::move(key), std::move(value));
    return *this;
}

Json& Json::Push(Json value)
{
    if (type_ == Type::Null) type_ = Type::Array;
    if (type_ == Type::Array) items_.push_back(std::move(value));
    return *this;
}

std::string Json::Dump() const
{
    std::string out;
    DumpTo(out);
    return out;
}

void Json::DumpTo(std::string& out) const
{
    switch (type_) {
    case Type::Null: out += "null"; break;
    case Type::Bool: out += bool_ ? "true" : "false"; break;
    case Type::Number: {
        char text[32];
        if (!std::isfinite(number_)) std::snprintf(text, sizeof text, "0");  // JSON has no NaN or infinity
        else if (number_ == std::floor(number_) && std::fabs(number_) < 1e15) std::snprintf(text, sizeof text, "%.0f", number_);
        else std::snprintf(text, sizeof text, "%.17g", number_);
        out += text;
        break;
    }
    case Type::String: DumpString(string_, out); break;
    case Type::Array:
        out += '[';
        for (std::size_t k = 0; k < items_.size(); ++k) {
            if (k) out += ',';
            items_[k].DumpTo(out);
        }
        out += ']';
        break;
    case Type::Object:
        out += '{';
        for (std::size_t k = 0; k < members_.size(); ++k) {
            if (k) out += ',';
            DumpString(members_[k].first, out);
            out += ':';
            members_[k].second.DumpTo(out);
        }
        out += '}';
        break;
    }
}

std::optional<Json> Json::Parse(std::string_view text, std::string* error)
{
    return JsonParser(text).Document(error);
}

}  // namespace kvlsp
