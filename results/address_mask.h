#pragma once
// A player's network address, as an arena line quotes it after his name
// ("Snoopy (UDP:192.0.2.95:2300) has entered the arena"), is his own: every
// output that is shared (the results' JSON and CSV, the game's page, the
// league file and what is built from it) shows it masked. The report
// "vorskal.log" and the merged log keep it: they are the server's files.
//
// What is masked: the protocol word UDP or TCP (in any letter case), a colon
// and an address: an IPv4 address (four numbers 0 to 255 with dots), an IPv6
// address in brackets, or a bare IPv6 address (eight groups, or fewer with
// one "::"); with its ":port" when one follows. The word and the colon stay,
// the rest becomes "…" (U+2026): "(UDP:192.0.2.95:2300)" is "(UDP:…)".
// Anything else after the word stays as it is: "UDP:Ace", "UDP:1.2.3",
// "UDP:300.1.1.1", "UDP:12:30:45" are no addresses.
//
// Works on the logs' bytes and on the text made of them (base/log_text.h)
// alike: what it looks for and what it writes is ASCII but for the "…",
// which is valid UTF-8 and stays so. Masking again changes nothing.
#include <string>
#include <string_view>

namespace vorskal::results {

std::string maskAddresses(std::string_view text);

// Masks `text` in place; whether anything changed.
bool maskAddressesIn(std::string& text);

}  // namespace vorskal::results
