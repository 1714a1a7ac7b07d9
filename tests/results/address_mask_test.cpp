// Addresses in quoted log lines are masked in every shared output: what is
// an address goes (with its port), and what merely looks like one stays.
#include "results/address_mask.h"

#include <gtest/gtest.h>

#include <string>

namespace vorskal::results {
namespace {

struct Case {
    const char* in;
    const char* out;  // nullptr: unchanged
};

constexpr Case kCases[] = {
    // The arena line as the server writes it.
    {"12/06/26 20:00:00 Player |Snoopy (UDP:192.0.2.95:2300) has entered the arena",
     "12/06/26 20:00:00 Player |Snoopy (UDP:\xE2\x80\xA6) has entered the arena"},
    {"(udp:10.0.0.1:2300)", "(udp:\xE2\x80\xA6)"},
    {"(TCP:192.0.2.95)", "(TCP:\xE2\x80\xA6)"},
    {"A (UDP:1.2.3.4:5) B (UDP:255.255.255.255:65535)",
     "A (UDP:\xE2\x80\xA6) B (UDP:\xE2\x80\xA6)"},
    // A malformed entry line still holds a real address.
    {"|XUDP:192.0.2.9:2300 has entered", "|XUDP:\xE2\x80\xA6 has entered"},
    // Bytes of the log that are not UTF-8 are left to the text rule.
    {"Ren\xE9 (UDP:1.2.3.4:5)", "Ren\xE9 (UDP:\xE2\x80\xA6)"},
    // IPv6: in brackets, bare with "::", bare with eight groups and a port,
    // an IPv4 address in the last group.
    {"(UDP:[2001:db8::1]:2300)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:2001:db8::7)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:2001:db8:0:0:0:0:0:1:2300)", "(UDP:\xE2\x80\xA6)"},
    {"(UDP:::ffff:192.0.2.1)", "(UDP:\xE2\x80\xA6)"},
    // Near misses: names and numbers that are no address.
    {"Player |UDP:Ace has entered", nullptr},
    {"Player |Ace (UDP:) has entered", nullptr},
    {"UDP_1.2.3.4:2300", nullptr},
    {"UDP:1.2.3", nullptr},
    {"UDP:1.2.3.4.5", nullptr},
    {"UDP:300.1.1.1:2300", nullptr},
    {"UDP:1.2.3.1234", nullptr},
    {"UDP:12:30:45", nullptr},
    {"UDP:dead:beef", nullptr},
    {"UDP:[fe80::1", nullptr},
    {"UDP:1:2:3:4:5:6:7:8:9:10", nullptr},
    {"Ready:2001:db8::1 and 192.0.2.95:2300", nullptr},
};

TEST(AddressMask, MasksAddressesAndLeavesLookAlikes) {
    for (const Case& c : kCases) {
        const std::string expected = c.out != nullptr ? c.out : c.in;
        const std::string masked = maskAddresses(c.in);
        EXPECT_EQ(masked, expected) << c.in;
        EXPECT_EQ(maskAddresses(masked), masked) << "masked twice: " << c.in;
        std::string inPlace = c.in;
        EXPECT_EQ(maskAddressesIn(inPlace), c.out != nullptr) << c.in;
    }
}

}  // namespace
}  // namespace vorskal::results
