// One error boundary: whatever stops a run (a tally failure, running out of
// memory, any other exception), the run ends as a failure, the report keeps
// its earlier lines and gets one "ERROR -- " line naming what happened, and
// only running out of memory is reported as that.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "app/tally_run.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

// A game whose settings file throws `fault` when the run opens it (step 4,
// after the report's header).
class FaultySettings : public MemoryFiles {
  public:
    explicit FaultySettings(std::function<void()> fault) : fault_(std::move(fault)) {
        files["ux7server0.log"] = "a line\r\n";
        files["vorskal.ini"] = "Kill=10\r\n";
        files["vorskal.log"] = "earlier\r\n";
    }
    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        if (name == "vorskal.ini") {
            fault_();
        }
        return MemoryFiles::openForReading(name);
    }

  private:
    std::function<void()> fault_;
};

TEST(ErrorBoundary, EveryFailureEndsTheReportWithOneErrorLine) {
    const std::string header =
        "\r\n\r\nUX7SERVER Log Tally (VORSKAL.LOG)\r\n"
        "Rev 3.40 -- VORSKAL scoring tally for the ZORL league\r\n"
        "Current time is 20:15:03    Current date is 06/12/2026\r\n\r\n\r\n";
    struct Case {
        const char* name;
        std::function<void()> fault;
        std::string named;  // what the message must name
    };
    const Case cases[] = {
        {"tally failure", [] { throw TallyFailure("vorskal.ini: cannot open: gone"); },
         "vorskal.ini: cannot open: gone"},
        {"out of memory", [] { throw std::bad_alloc(); }, "the tally ran out of memory"},
        {"other exception", [] { throw std::runtime_error("the disk went away"); },
         "the disk went away"},
        {"no exception type at all", [] { throw 7; }, "unknown"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultySettings files(c.fault);
        TallyState state;
        FixedClock clock;
        const Outcome outcome = runTally(state, files, clock);
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message.find(c.named), std::string::npos) << outcome.message;
        if (c.named != "the tally ran out of memory") {
            EXPECT_EQ(outcome.message.find("memory"), std::string::npos) << outcome.message;
        }
        EXPECT_EQ(files.files["vorskal.log"],
                  "earlier\r\n" + header + "ERROR -- " + outcome.message + "\r\n");
    }
}

}  // namespace
}  // namespace vorskal::testing
