// The adapter's side of the debug channel (docs/debug-channel.md): the
// pairing of the
// program's replies with the commands they answer. No I/O here: bytes the
// program sent are fed in, the lines to send are handed out.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "debug/channel_messages.h"

namespace kvdap {

using Fields = std::vector<std::string>;

// A value as the channel describes it (a `value` line, or a `child` line
// after its name): KIND `number`, `string`, `array`, `record` or `records`.
struct ChannelValue {
    std::string kind, text, detail;
};
// The value in `fields` from `first` on (KIND, TEXT, DETAIL); missing
// fields read as "".
ChannelValue ValueFrom(const Fields& fields, std::size_t first);

// The program's answer to one command: its data lines (as fields), then
// `ok` or `error<TAB>TEXT`.
struct ChannelReply {
    bool ok = false;
    std::string error;
    std::vector<Fields> data;
};

class ChannelClient {
public:
    // A command was sent: its reply comes after those of the commands
    // before it. Kept replies are taken with TakeReply(ticket); the others
    // are dropped when they come (`continue`, `break` while running ...).
    int Expect(bool keep);
    // Bytes the program sent: replies complete, events queue up.
    void Feed(std::string_view bytes);
    // The reply of `ticket` once it is complete.
    std::optional<ChannelReply> TakeReply(int ticket);
    // The reply of `ticket` is no longer waited for: dropped when it comes,
    // so that the replies after it still meet their commands.
    void Abandon(int ticket);
    // Events (`event` lines) in the order they came, without the word "event".
    std::deque<Fields>& Events() { return events_; }
    // Whether every command sent has had its reply.
    bool Idle() const { return pending_.empty(); }

private:
    void Line(std::string_view line);

    struct Pending {
        int ticket = 0;
        bool keep = false;
        ChannelReply reply;
    };
    std::deque<Pending> pending_;
    std::vector<std::pair<int, ChannelReply>> done_;
    std::deque<Fields> events_;
    std::string partial_;  // the bytes of a line not yet ended
    int nextTicket_ = 1;
};

}  // namespace kvdap
