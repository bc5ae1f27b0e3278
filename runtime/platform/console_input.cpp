// Standard input read without blocking, a line at a time.
#include "platform/platform.h"

#include <poll.h>
#include <unistd.h>

namespace platform {

int ReadConsoleLine(std::string* pending, std::string* line)
{
    for (;;) {
        const std::size_t newline = pending->find('\n');
        if (newline != std::string::npos) {
            *line = pending->substr(0, newline);
            if (!line->empty() && line->back() == '\r') line->pop_back();
            pending->erase(0, newline + 1);
            return 1;
        }
        struct pollfd input = {0, POLLIN, 0};
        if (poll(&input, 1, 0) <= 0 || (input.revents & (POLLIN | POLLHUP)) == 0) return 0;
        char buffer[512];
        const ssize_t got = read(0, buffer, sizeof buffer);
        if (got <= 0) {
            // End of input: a last line without newline still counts.
            if (pending->empty()) return -1;
            *line = *pending;
            pending->clear();
            return 1;
        }
        pending->append(buffer, static_cast<std::size_t>(got));
        if (pending->size() > 64 * 1024) {  // a line without end: take what there is
            *line = *pending;
            pending->clear();
            return 1;
        }
    }
}

}  // namespace platform
