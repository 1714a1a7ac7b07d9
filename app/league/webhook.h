#pragma once
// Sending a JSON body to a webhook (`vorskal-league post`): an HTTP POST
// with a timeout per try, and a few tries with back-off (the wait doubles
// after each) while the receiver cannot be reached, does not answer in
// time, or answers 429 or 5xx; any other answer of 300 or more fails at
// once. The address is never printed: a message names only what went wrong.
#include <string>

namespace vorskal {

struct PostTries {
    int tries = 3;
    long timeoutMs = 10000;  // each try, connecting included
    long backoffMs = 1000;   // the wait before the second try
};

struct PostOutcome {
    bool sent = false;
    int triesMade = 0;
    std::string failure;  // why the last try failed, e.g. "HTTP 500", "Timeout was reached"
};

PostOutcome postJson(const std::string& address, const std::string& body,
                     const PostTries& tries = {});

}  // namespace vorskal
