#include "app/league/webhook.h"

namespace vorskal {

// A build without libcurl (the Windows programs): post says so.
PostOutcome postJson(const std::string&, const std::string&, const PostTries&) {
    PostOutcome outcome;
    outcome.failure = "this build of vorskal-league cannot post (built without libcurl)";
    return outcome;
}

}  // namespace vorskal
