#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/host_view/command_line.h"
#include "tools/host_view/host_view_app.h"

namespace vantorel::inspect {
namespace {

struct InspectRun {
    int status;
    std::string out;
    std::string err;
};

InspectRun inspect(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runInspect(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> found;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        found.push_back(line);
    }
    return found;
}

// The expected lines appear in this order, whatever else lies between them.
::testing::AssertionResult containsInOrder(const std::string& text,
                                           const std::vector<std::string>& expected) {
    const std::vector<std::string> shown = lines(text);
    auto from = shown.begin();
    for (const std::string& line : expected) {
        from = std::find(from, shown.end(), line);
        if (from == shown.end()) {
            return ::testing::AssertionFailure()
                   << "missing or out of order: \"" << line << "\" in\n"
                   << text;
        }
        ++from;
    }
    return ::testing::AssertionSuccess();
}

std::string textFile() {
    const auto file = std::filesystem::path(::testing::TempDir()) / "inspect_not_a_module.p";
    std::ofstream(file) << "Not a module, only text.\n";
    return file.string();
}

TEST(Inspection, ShowsWhatAHostSeesOfTheBuiltModule) {
    const InspectRun run = inspect({VANTOREL_MODULE_FILE});

    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(
        containsInOrder(run.out, {
                                     "  synchronisation word  0x04121994",
                                     "  system version        3",
                                     "  machine code          0x300",
                                     "  start-up token        0x4",
                                     "  CameraHandler \"Vantorel0.1.5\"",
                                     "    tag \"Vantorel 0.1.5\" 0",
                                     "  CameraInterface \"Vantorel0.1.5\"",
                                     "    tag \"Vantorel 0.1.5\" 0",
                                     "  CameraHandler \"Vantorel0.1.5\", version 2: 0 (accepted)",
                                     "  CameraInterface \"Vantorel0.1.5\", version 4: 0 (accepted)",
                                     "  describe   \"Corvasin\"",
                                     "  flags      1",
                                     "  new frame  accepted",
                                     "  Zoom Factor: 3.2",
                                     "  Focal Length 38.4mm",
                                     "  Horizontal Shift: 0 %",
                                     "  Vertical Shift: 0 %",
                                     "  Distortion: 0 %",
                                     "  Vignetting: 0 %",
                                     "  evaluate     1",
                                     "  origin       0 0 0",
                                     "  direction    0 0 1",
                                     "  film normal  0 0 1",
                                     "  filter       left as the host set it",
                                 }));
}

struct BadFileCase {
    const char* what;
    std::string file;
    int status;
    const char* reason; // a part of the error message
};

TEST(Inspection, RefusesEachBadFileWithItsOwnExitStatus) {
    const std::vector<BadFileCase> cases = {
        {"missing file",
         (std::filesystem::path(::testing::TempDir()) / "no_such_module.p").string(),
         kExitFileMissing, "no such file"},
        {"text file", textFile(), kExitNotAModule, "not a loadable module"},
        {"no descriptor", FIXTURE_MISNAMED_DESCRIPTOR, kExitNoDescriptor, "_mod_descrip"},
        {"wrong synchronisation word", FIXTURE_WRONG_SYNCHRONISATION, kExitWrongSynchronisation,
         "0x19941204"},
        {"wrong system version", FIXTURE_WRONG_VERSION, kExitWrongSystemVersion,
         "system version 2"},
        {"start-up without token", FIXTURE_NO_TOKEN, kExitStartupFailed, "no token"},
        {"no camera of this interface", FIXTURE_SOUND, kExitCameraUnusable,
         "CameraHandler server refused activation"},
    };
    for (const BadFileCase& c : cases) {
        const InspectRun run = inspect({c.file});

        EXPECT_EQ(run.status, c.status) << c.what << ": " << run.err;
        EXPECT_EQ(run.err.rfind("vantorel-inspect: " + c.file, 0), 0u) << c.what << ": " << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << c.what << ": " << run.err;
        if (c.status != kExitCameraUnusable) {
            EXPECT_EQ(run.out, "") << c.what;
        }
    }
}

TEST(Inspection, AModuleWhoseCameraFailsStillShowsItsDescriptorAndActivation) {
    const InspectRun run = inspect({FIXTURE_SOUND});

    EXPECT_TRUE(
        containsInOrder(run.out, {"  CameraHandler \"Fixture\"",
                                  "  CameraHandler \"Fixture\", version 2: 1 (wrong version)"}));
    EXPECT_EQ(run.out.find("Panel"), std::string::npos);
}

TEST(Inspection, RejectsBadArgumentsWithAUsageLine) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {VANTOREL_MODULE_FILE, VANTOREL_MODULE_FILE},
        {"--frobnicate", VANTOREL_MODULE_FILE},
        {""},
    };
    for (const auto& arguments : cases) {
        const InspectRun run = inspect(arguments);

        EXPECT_EQ(run.status, kExitUsage) << run.err;
        EXPECT_NE(run.err.find("Usage: vantorel-inspect MODULE"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(Inspection, HelpListsEveryExitStatus) {
    const InspectRun run = inspect({"--help"});

    EXPECT_EQ(run.status, kExitOk);
    EXPECT_EQ(run.out.rfind("Usage: vantorel-inspect MODULE", 0), 0u);
    for (int status = kExitOk; status <= kExitCameraUnusable; ++status) {
        EXPECT_NE(run.out.find("\n  " + std::to_string(status) + "  "), std::string::npos)
            << status;
    }
}

} // namespace
} // namespace vantorel::inspect
