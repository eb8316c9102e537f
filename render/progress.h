// Progress of a render on the console: a bar redrawn in place on a terminal, plain lines at
// every tenth otherwise (logs and pipes).
#pragma once

#include <cstdio>
#include <string>

namespace vantorel::render {

class ProgressReporter {
public:
    ProgressReporter(std::FILE* stream, bool terminal);

    // fraction of the task named label is done.
    void update(const std::string& label, double fraction);
    // Ends the current task's line.
    void finish();

private:
    std::FILE* stream_;
    bool terminal_;
    std::string label_;
    int lastShown_ = -1; // percent on a terminal, tenths otherwise
};

// A reporter for standard error, drawing a bar when standard error is a terminal.
ProgressReporter consoleProgress();

} // namespace vantorel::render
