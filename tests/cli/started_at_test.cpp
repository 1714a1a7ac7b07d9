// The run's start as every output shows it (`run.startedAt`): local time,
// ISO 8601, with the offset from UTC worked out from the two readings of the
// moment. The offsets that cross a day or a year, and the ones of half and
// three quarters of an hour, are where that arithmetic can slip.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "app/cli/session.h"

namespace vorskal {
namespace {

#ifndef _WIN32
// Sets TZ for one case and puts the old value back after it.
class ZoneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* zone = std::getenv("TZ")) {
            saved_ = zone;
        }
    }
    void TearDown() override {
        if (saved_) {
            setenv("TZ", saved_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    static void zone(const char* rule) {
        setenv("TZ", rule, 1);
        tzset();
    }

  private:
    std::optional<std::string> saved_;
};

TEST_F(ZoneTest, OffsetIsTheZonesOnEitherSideOfADayAndAYear) {
    struct Case {
        const char* zone;
        std::time_t moment;  // seconds since 1970-01-01T00:00:00Z
        const char* shown;
    };
    const Case cases[] = {
        {"UTC0", 0, "1970-01-01T00:00:00+00:00"},
        // Local time in the year before UTC's.
        {"EST5", 0, "1969-12-31T19:00:00-05:00"},
        {"IST-5:30", 0, "1970-01-01T05:30:00+05:30"},
        // 2026-12-31T12:00:00Z: local time already in the next year.
        {"<+14>-14", 1798718400, "2027-01-01T02:00:00+14:00"},
        // 2026-03-01T06:00:00Z: local time still on the day before.
        {"<-12>12", 1772344800, "2026-02-28T18:00:00-12:00"},
        // 2026-06-30T20:00:00Z: local time on the next day, 45 minutes in the offset.
        {"<+0545>-5:45", 1782849600, "2026-07-01T01:45:00+05:45"},
        // 2026-07-01T12:00:00Z in summer time.
        {"CET-1CEST,M3.5.0,M10.5.0/3", 1782907200, "2026-07-01T14:00:00+02:00"},
    };
    for (const Case& c : cases) {
        zone(c.zone);
        EXPECT_EQ(localTimeIso8601(c.moment), c.shown) << c.zone;
    }
}
#endif

}  // namespace
}  // namespace vorskal
