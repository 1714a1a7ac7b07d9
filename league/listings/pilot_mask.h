#pragma once
// What the public outputs (the site, its downloads, posts) show of the
// hidden pilots (league/store/hidden_pilots.h): each under his pseudonym,
// wherever his name stands, quoted log lines and notes included.
//
// In a text (a log line, a note, a warning) a name is replaced where it
// stands as a whole: not inside a longer word (a letter, digit or "_" just
// before or after it), so that "Otto" leaves "Ottokar" alone. A name of 16
// characters, the width the report gives a name, may be the start of a
// longer name the arena lines write in full: it is replaced with the rest of
// that word. A name followed by more than one blank (the log's
// 16-character column) keeps the column's width, at least one blank kept, so
// the columns stay aligned and the width says nothing of the name's length.
#include <string>
#include <vector>

#include "league/listings/queries.h"
#include "league/listings/standings.h"
#include "league/store/hidden_pilots.h"

namespace vorskal::league {

class PilotMask {
  public:
    PilotMask() = default;
    explicit PilotMask(std::vector<HiddenPilot> hidden);
    // The mask of the pilots hidden in the file.
    static PilotMask of(Connection& db);

    bool empty() const { return hidden_.empty(); }
    // The pseudonym of a hidden pilot, any other name as it is.
    const std::string& name(const std::string& name) const;
    // The text with every hidden name in it replaced.
    std::string text(const std::string& text) const;

    void apply(results::GameResults& game) const;
    void apply(Standings& standings) const;

  private:
    std::vector<HiddenPilot> hidden_;
};

}  // namespace vorskal::league
