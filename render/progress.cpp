#include "render/progress.h"

#include <unistd.h>

#include <algorithm>

namespace vantorel::render {

namespace {

constexpr int kBarWidth = 40;

} // namespace

ProgressReporter::ProgressReporter(std::FILE* stream, bool terminal)
    : stream_(stream), terminal_(terminal) {}

void ProgressReporter::update(const std::string& label, double fraction) {
    if (label != label_) {
        finish();
        label_ = label;
    }
    fraction = std::clamp(fraction, 0.0, 1.0);
    if (terminal_) {
        const int percent = static_cast<int>(fraction * 100.0);
        if (percent == lastShown_) {
            return;
        }
        lastShown_ = percent;
        const int filled = static_cast<int>(fraction * kBarWidth);
        std::fprintf(stream_, "\r%s [%s%s] %3d%%", label_.c_str(),
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kBarWidth - filled), '.').c_str(), percent);
    } else {
        const int tenths = static_cast<int>(fraction * 10.0);
        if (tenths == lastShown_) {
            return;
        }
        lastShown_ = tenths;
        std::fprintf(stream_, "%s: %d%%\n", label_.c_str(), tenths * 10);
    }
    std::fflush(stream_);
}

void ProgressReporter::finish() {
    if (terminal_ && lastShown_ >= 0) {
        std::fputc('\n', stream_);
        std::fflush(stream_);
    }
    label_.clear();
    lastShown_ = -1;
}

ProgressReporter consoleProgress() {
    return ProgressReporter(stderr, isatty(fileno(stderr)) != 0);
}

} // namespace vantorel::render
