#pragma once
// Text for the Win32 calls: UTF-8 to and from UTF-16, and the reason of a
// Win32 error worded as Linux words it.
#include <cstdint>
#include <string>
#include <vector>

namespace vorskal {

// UTF-8 to UTF-16. Text that is not valid UTF-8 is taken in the system's
// code page instead, so a name typed in a console of that code page works.
std::wstring widen(const std::string& text);
// UTF-16 to UTF-8 (codePage 65001) or to another code page (the system's is 0).
std::string narrow(const std::wstring& text, unsigned codePage = 65001);

// The reason for a GetLastError() code: the Linux text for the errors a
// tally meets ("No such file or directory", "Permission denied", "No space
// left on device", ...), else the system's own text with the code.
std::string errorReason(std::uint32_t error);

// The program's arguments, the program's name first, as UTF-8 from the wide
// command line: main()'s own are in the system's code page, which cannot
// hold every name.
std::vector<std::string> commandLineArguments();

}  // namespace vorskal
