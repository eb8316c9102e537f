#include <gtest/gtest.h>

#include "render/command_line.h"

namespace vantorel::render {
namespace {

TEST(CommandLine, ReadsEveryOption) {
    const Options options = parseCommandLine({"scene.json",
                                              "-o",
                                              "pic.png",
                                              "--width",
                                              "64",
                                              "--height",
                                              "48",
                                              "--samples",
                                              "9",
                                              "--frames",
                                              "3",
                                              "--threads",
                                              "5",
                                              "--seed",
                                              "42",
                                              "--png16",
                                              "--save-camera",
                                              "c.txt",
                                              "--load-camera",
                                              "d.txt",
                                              "--module",
                                              "m.p"});
    EXPECT_EQ(options.scenePath, "scene.json");
    EXPECT_EQ(options.output, "pic.png");
    EXPECT_EQ(options.width, 64);
    EXPECT_EQ(options.height, 48);
    EXPECT_EQ(options.samples, 9);
    EXPECT_EQ(options.frames, 3);
    EXPECT_EQ(options.threads, 5);
    EXPECT_EQ(options.seed, 42u);
    EXPECT_TRUE(options.linear16);
    EXPECT_EQ(options.saveCamera, "c.txt");
    EXPECT_EQ(options.loadCamera, "d.txt");
    EXPECT_EQ(options.modulePath, "m.p");
    EXPECT_FALSE(options.gallery);
}

TEST(CommandLine, WithoutArgumentsRendersTheDefaultScene) {
    const Options options = parseCommandLine({});
    EXPECT_FALSE(options.scenePath);
    EXPECT_FALSE(options.threads);
}

struct BadArguments {
    std::vector<std::string> arguments;
    const char* message;
};

class BadCommandLine : public ::testing::TestWithParam<BadArguments> {};

TEST_P(BadCommandLine, IsRefusedWithTheReason) {
    try {
        parseCommandLine(GetParam().arguments);
        ADD_FAILURE() << "accepted";
    } catch (const CommandLineError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadCommandLine,
    ::testing::Values(
        BadArguments{{"--width"}, "--width: needs a value"},
        BadArguments{{"--width", "wide"}, "--width: not a whole number: \"wide\""},
        BadArguments{{"--samples", "0"}, "--samples: must be between 1 and 4096 (got 0)"},
        BadArguments{{"--threads", "-2"}, "--threads: must be between 1 and 1024 (got -2)"},
        BadArguments{{"--frames", "2x"}, "--frames: not a whole number: \"2x\""},
        BadArguments{{"--fast"}, "unknown option --fast"},
        BadArguments{{"a.json", "b.json"}, "one scene file only (got a.json and b.json)"}));

} // namespace
} // namespace vantorel::render
