#include "base/log_text.h"

#include <cstdint>

namespace vorskal {
namespace {

// The characters of bytes 0x80 to 0x9F in code page 1252; 0 where it has none.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 0x98
};

void appendEscaped(std::string& out, unsigned char byte) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the valid UTF-8 sequence of 2 to 4 bytes at `at`, or 0:
// the shortest form of a code point up to U+10FFFF that is no surrogate.
std::size_t sequenceLength(std::string_view text, std::size_t at, std::uint32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return overlong || surrogate || code > 0x10FFFF ? 0 : length;
}

}  // namespace

void appendLogText(std::string& out, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7F) {
            // A run of printable ASCII (most of a log) in one piece.
            std::size_t end = i + 1;
            while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x20 &&
                   static_cast<unsigned char>(bytes[end]) < 0x7F) {
                ++end;
            }
            out.append(bytes.substr(i, end - i));
            i = end - 1;
            continue;
        }
        if (byte < 0x80) {  // C0 controls and DEL
            appendEscaped(out, byte);
            continue;
        }
        std::uint32_t code = 0;
        if (const std::size_t length = sequenceLength(bytes, i, code); length != 0) {
            if (code < 0xA0) {  // a C1 control, written in UTF-8
                for (std::size_t k = 0; k < length; ++k) {
                    appendEscaped(out, static_cast<unsigned char>(bytes[i + k]));
                }
            } else {
                out.append(bytes.substr(i, length));
            }
            i += length - 1;
            continue;
        }
        code = byte >= 0xA0 ? byte : kCp1252High[byte - 0x80];
        if (code == 0) {
            appendEscaped(out, byte);
        } else {
            appendUtf8(out, code);
        }
    }
}

std::string logText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    appendLogText(out, bytes);
    return out;
}

std::size_t textColumns(std::string_view text) {
    std::size_t columns = 0;
    for (const char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return columns;
}

}  // namespace vorskal
