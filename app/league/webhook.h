#pragma once
// Sending a JSON body to a webhook (`vorskal-league post`): an HTTP POST
// with a timeout per try, sent once per success. Another try is made only
// when the receiver cannot have taken the body:
// - it could not be reached (connection refused, no such host, no
//   connection in time), before any byte of the body left;
// - it answered 429, 500, 502 or 503: it says it did not take it.
// The wait before the next try doubles each time (the first: backoffMs),
// and is at least what a 429's or 503's Retry-After asks (seconds or an
// HTTP date); a Retry-After beyond maxWaitMs ends the tries. A 2xx is
// taken, even when the rest of the answer is lost; any other answer fails
// at once; so does a try cut off after the body left (a timeout, a
// connection closed without an answer): the receiver may have it, and
// sending again could post it twice. The address is never printed.
#include <string>

namespace vorskal {

struct PostTries {
    int tries = 3;
    long timeoutMs = 10000;  // each try, connecting included
    long backoffMs = 1000;   // the wait before the second try
    long maxWaitMs = 60000;  // the longest Retry-After waited for
};

struct PostOutcome {
    bool sent = false;
    int triesMade = 0;
    std::string failure;      // why the last try failed, e.g. "HTTP 500", "Timeout was reached"
    bool maybeTaken = false;  // cut off after the body left: the receiver may have it
};

PostOutcome postJson(const std::string& address, const std::string& body,
                     const PostTries& tries = {});

}  // namespace vorskal
