#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "render/progress.h"

namespace vantorel::render {
namespace {

std::string shown(bool terminal, const std::vector<double>& fractions) {
    std::FILE* stream = std::tmpfile();
    {
        ProgressReporter progress(stream, terminal);
        for (double fraction : fractions) {
            progress.update("frame 1/1", fraction);
        }
        progress.finish();
    }
    std::rewind(stream);
    std::string text;
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
        text += static_cast<char>(c);
    }
    std::fclose(stream);
    return text;
}

TEST(Progress, OutsideATerminalEachTenthIsOnePlainLine) {
    std::vector<double> fractions;
    for (int i = 0; i <= 100; ++i) {
        fractions.push_back(i / 100.0);
    }
    EXPECT_EQ(shown(false, fractions),
              "frame 1/1: 0%\nframe 1/1: 10%\nframe 1/1: 20%\nframe 1/1: 30%\nframe 1/1: 40%\n"
              "frame 1/1: 50%\nframe 1/1: 60%\nframe 1/1: 70%\nframe 1/1: 80%\nframe 1/1: 90%\n"
              "frame 1/1: 100%\n");
}

TEST(Progress, OnATerminalOneBarIsRedrawnInPlace) {
    const std::string text = shown(true, {0.0, 0.001, 0.5, 1.0});
    EXPECT_EQ(text, "\rframe 1/1 [........................................]   0%"
                    "\rframe 1/1 [####################....................]  50%"
                    "\rframe 1/1 [########################################] 100%\n");
}

} // namespace
} // namespace vantorel::render
