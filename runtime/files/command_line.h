// Command lines as one text: split into program words by the quoting rules
// of the system the dialect comes from, and joined back so that splitting
// gives the same words again.
#pragma once

#include <string>
#include <vector>

// Words are separated by blanks and tabs. Double quotes group blanks into a
// word and are removed; inside quotes, "" is one literal quote. Backslashes
// are literal except before a quote: 2n backslashes and a quote give n
// backslashes and a grouping quote, 2n+1 give n backslashes and a literal
// quote.
std::vector<std::string> SplitCommandLine(const char* line);
// Words joined by blanks; a word that is empty or holds a blank, a tab or a
// quote is quoted, with its quotes and the backslashes before them escaped.
std::string JoinCommandLine(const std::vector<std::string>& words);
