#include "channel.h"

#include <algorithm>

namespace kvdap {

namespace {

// A line longer than this is no message of the program's; it is dropped
// rather than kept growing.
constexpr std::size_t kMaxLine = 16u << 20;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string EscapeField(std::string_view text)
{
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\') out += "\\\\";
        else if (c == '\t') out += "\\t";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (u < 32) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string UnescapeField(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\' || k + 1 >= text.size()) {
            out += text[k];
            continue;
        }
        const char next = text[++k];
        if (next == 't') out += '\t';
        else if (next == 'n') out += '\n';
        else if (next == 'r') out += '\r';
        else if (next == 'x' && k + 2 < text.size() && HexDigit(text[k + 1]) >= 0 && HexDigit(text[k + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[k + 1]) * 16 + HexDigit(text[k + 2]));
            k += 2;
        } else {
            out += next;  // `\\`, and any other escape stands for its byte
        }
    }
    return out;
}

Fields SplitMessage(std::string_view line)
{
    Fields fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(UnescapeField(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start)));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

std::string JoinMessage(const Fields& fields)
{
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k > 0) line += '\t';
        line += EscapeField(fields[k]);
    }
    return line + '\n';
}

ChannelValue ValueFrom(const Fields& fields, std::size_t first)
{
    auto field = [&](std::size_t k) { return k < fields.size() ? fields[k] : std::string(); };
    return {field(first), field(first + 1), field(first + 2)};
}

int ChannelClient::Expect(bool keep)
{
    pending_.push_back({nextTicket_, keep, {}});
    return nextTicket_++;
}

void ChannelClient::Feed(std::string_view bytes)
{
    for (;;) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) {
            if (partial_.size() + bytes.size() <= kMaxLine) partial_.append(bytes);
            else partial_.clear();
            return;
        }
        partial_.append(bytes.substr(0, end));
        std::string line;
        line.swap(partial_);
        Line(line);
        bytes.remove_prefix(end + 1);
    }
}

void ChannelClient::Line(std::string_view line)
{
    Fields fields = SplitMessage(line);
    if (fields[0] == "event") {
        fields.erase(fields.begin());
        if (!fields.empty()) events_.push_back(std::move(fields));
        return;
    }
    // A line no command asked for (the program's own confusion) is dropped.
    if (pending_.empty()) return;
    Pending& front = pending_.front();
    if (fields[0] == "ok" || fields[0] == "error") {
        front.reply.ok = fields[0] == "ok";
        if (!front.reply.ok) front.reply.error = fields.size() > 1 ? fields[1] : "the program refused the command";
        if (front.keep) done_.emplace_back(front.ticket, std::move(front.reply));
        pending_.pop_front();
        return;
    }
    if (front.keep) front.reply.data.push_back(std::move(fields));
}

void ChannelClient::Abandon(int ticket)
{
    for (Pending& pending : pending_)
        if (pending.ticket == ticket) pending.keep = false;
    TakeReply(ticket);
}

std::optional<ChannelReply> ChannelClient::TakeReply(int ticket)
{
    const auto found = std::find_if(done_.begin(), done_.end(), [ticket](const auto& entry) { return entry.first == ticket; });
    if (found == done_.end()) return std::nullopt;
    ChannelReply reply = std::move(found->second);
    done_.erase(found);
    return reply;
}

}  // namespace kvdap
