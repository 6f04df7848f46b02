#pragma once
// kinvo --print-category NAME: discovery and the category choice without a window. Prints one
// line per station of the station list: shown text, a tab, the number, a tab, the tag, bytes as
// received. Messages that would be shown go to stderr, and questions are answered so that the
// run always ends: the retry question Cancel, the firewall question No.

#include <cstdio>
#include <string>

namespace kinvo {

struct BrowserOptions;

// Exit codes of the listing.
inline constexpr int kExitListed = 0;
inline constexpr int kExitNoDataServer = 2;
inline constexpr int kExitTermTooShort = 65;  // the search term has fewer than 4 letters

// Needs a QCoreApplication; out receives the lines, messages go to messages.
int printCategory(const BrowserOptions& options, const std::string& category, std::FILE* out,
                  std::FILE* messages);

// kinvo --search TERM: the same, with the video search's results; its messages ("0 results
// found", the term's length) go to messages.
int printSearch(const BrowserOptions& options, const std::string& term, std::FILE* out,
                std::FILE* messages);

}  // namespace kinvo
