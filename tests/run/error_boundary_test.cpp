// One error boundary: whatever stops a run (running out of memory, any other
// exception; a tally failure: the scenario folders "fault-*"), in the merge
// or later, the run ends as a failure, the report keeps its earlier lines and
// gets its header and one "ERROR -- " line naming what happened; only running
// out of memory is reported as that, and it names the file being read.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "app/tally_run.h"
#include "tests/support/memory_files.h"

namespace vorskal::testing {
namespace {

// A game whose file `faulty` throws `fault` when the run opens it: the
// settings file at step 4, after the report's header; a numbered log in the
// merge, before it.
class FaultyFile : public MemoryFiles {
  public:
    FaultyFile(std::string faulty, std::function<void()> fault)
        : faulty_(std::move(faulty)), fault_(std::move(fault)) {
        files["ux7server0.log"] = "a line\r\n";
        files["ux7server1.log"] = "another line\r\n";
        files["vorskal.ini"] = "Kill=10\r\n";
        files["vorskal.log"] = "earlier\r\n";
    }
    std::unique_ptr<InputFile> openForReading(const std::string& name) override {
        if (name == faulty_) {
            fault_();
        }
        return MemoryFiles::openForReading(name);
    }
    std::unique_ptr<MappedFile> map(const std::string& name) override {
        if (name == faulty_) {
            fault_();
        }
        return MemoryFiles::map(name);
    }

  private:
    std::string faulty_;
    std::function<void()> fault_;
};

TEST(ErrorBoundary, EveryFailureEndsTheReportWithOneErrorLine) {
    const std::string header =
        "\r\n\r\nUX7SERVER Log Tally (VORSKAL.LOG)\r\n"
        "Rev 3.40 -- VORSKAL scoring tally for the ZORL league\r\n"
        "Current time is 20:15:03    Current date is 06/12/2026\r\n\r\n\r\n";
    struct Case {
        const char* name;
        std::string faulty;
        std::function<void()> fault;
        std::string named;  // what the message must name
    };
    const Case cases[] = {
        {"out of memory", "vorskal.ini", [] { throw std::bad_alloc(); },
         "the tally ran out of memory while reading vorskal.ini"},
        {"other exception", "vorskal.ini", [] { throw std::runtime_error("the disk went away"); },
         "the disk went away"},
        {"no exception type at all", "vorskal.ini", [] { throw 7; }, "unknown"},
        {"out of memory in the merge", "ux7server1.log", [] { throw std::bad_alloc(); },
         "the tally ran out of memory while reading ux7server1.log"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultyFile files(c.faulty, c.fault);
        TallyState state;
        FixedClock clock;
        const Outcome outcome = runTally(state, files, clock);
        EXPECT_EQ(outcome.kind, OutcomeKind::Failed);
        EXPECT_NE(outcome.message.find(c.named), std::string::npos) << outcome.message;
        if (c.named.find("memory") == std::string::npos) {
            EXPECT_EQ(outcome.message.find("memory"), std::string::npos) << outcome.message;
        }
        EXPECT_EQ(files.files["vorskal.log"],
                  "earlier\r\n" + header + "ERROR -- " + outcome.message + "\r\n");
    }
}

}  // namespace
}  // namespace vorskal::testing
