#include "channel.h"

#include <algorithm>

namespace kvdap {

namespace {

// A line longer than this is no message of the program's; it is dropped
// rather than kept growing.
constexpr std::size_t kMaxLine = 16u << 20;

}  // namespace

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
    Fields fields = kvdebug::SplitMessage(line);
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
