#pragma once
// How the bytes of the logs and of "vorskal.ini" become text in every output
// (docs/results.md, "Text"): the results' JSON and CSV, the game's page, the
// league's listings, the window and the lines printed on a terminal. The
// report "vorskal.log" is not an output of this kind: it keeps the bytes.
//
// Every byte becomes a character, and the same bytes always the same text:
// - a valid UTF-8 sequence stays as it is;
// - any other byte is read in Windows code page 1252, the game server's;
// - a byte or sequence that gives no character that can be shown (the
//   control characters U+0000 to U+001F, U+007F and U+0080 to U+009F, and
//   the five bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D that 1252 leaves
//   undefined) is shown as "\x" and two upper-case hex digits per byte, as
//   the tally's own messages show control bytes: "\x00", "\x1B", "\x81".
// The result is valid UTF-8 without control characters, so it is safe in a
// JSON string, an HTML page, a CSV cell and on a terminal; converting it
// again changes nothing.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorskal {

std::string logText(std::string_view bytes);
void appendLogText(std::string& out, std::string_view bytes);

// The columns a text of logText takes on a terminal: one per character.
std::size_t textColumns(std::string_view text);

}  // namespace vorskal
