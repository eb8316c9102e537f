#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/host_view/command_line.h"
#include "tools/host_view/host_view_app.h"

namespace vantorel::inspect {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome validate(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "--validate");
    std::ostringstream out, err;
    const int status = runInspect(arguments, out, err);
    return Outcome{status, out.str(), err.str()};
}

TEST(Validator, TheBuiltModulePassesEveryCheck) {
    const Outcome run = validate({VANTOREL_MODULE_FILE});
    EXPECT_EQ(run.status, kExitOk) << run.out << run.err;
    EXPECT_EQ(run.out.find("FAIL"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("SKIP"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("10 passed, 0 failed, 0 skipped (seed 1)"), std::string::npos)
        << run.out;
}

TEST(Validator, OneSeedAlwaysGivesTheSameRun) {
    for (const char* seed : {"7", "18446744073709551615"}) {
        const Outcome first = validate({VANTOREL_MODULE_FILE, "--seed", seed});
        const Outcome second = validate({"--seed", seed, VANTOREL_MODULE_FILE});
        EXPECT_EQ(first.status, kExitOk) << first.out;
        EXPECT_EQ(first.out, second.out);
    }
}

// Each broken module fails the check that covers its fault, with the fault named.
TEST(Validator, EachBrokenModuleFailsTheCheckThatCoversItsFault) {
    struct Case {
        const char* module;
        const char* failedCheck;
        const char* problem;
    };
    const Case cases[] = {
        {FIXTURE_RAY_OVERRUN_FILE, "FAIL  frames and rays",
         "evaluate's ray: written up to 8 bytes past the end of the record"},
        {FIXTURE_WRONG_FLAGS_FILE, "FAIL  instances created and destroyed", "flags are not 1"},
        {FIXTURE_ANY_VERSION_FILE, "FAIL  activation refuses other versions",
         "handler version 0 gave 0, not 1"},
        {FIXTURE_LOSES_VIGNETTING_FILE, "FAIL  save and load round trips",
         "the cached values were not stored to single precision"},
    };
    for (const Case& c : cases) {
        const Outcome run = validate({c.module});
        EXPECT_EQ(run.status, kExitValidationFailed) << c.module << '\n' << run.out;
        EXPECT_NE(run.out.find(c.failedCheck), std::string::npos) << c.module << '\n' << run.out;
        EXPECT_NE(run.out.find(c.problem), std::string::npos) << c.module << '\n' << run.out;
    }
}

TEST(Validator, AModuleThatCannotBeLoadedGetsTheInspectionsExitStatus) {
    const Outcome run = validate({"no/such/module.p"});
    EXPECT_EQ(run.status, kExitFileMissing);
    EXPECT_NE(run.err.find("no such file"), std::string::npos) << run.err;
}

TEST(Validator, ASeedMustBeAWholeNumberAndGoWithValidation) {
    const std::vector<std::vector<std::string>> bad = {
        {"--validate", "m.p", "--seed"},
        {"--validate", "m.p", "--seed", "-1"},
        {"--validate", "m.p", "--seed", "18446744073709551616"},
        {"--validate", "m.p", "--seed", "12x"},
        {"m.p", "--seed", "3"},
    };
    for (const auto& arguments : bad) {
        std::ostringstream out, err;
        EXPECT_EQ(runInspect(arguments, out, err), kExitUsage) << arguments.back();
    }
}

} // namespace
} // namespace vantorel::inspect
