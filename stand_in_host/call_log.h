// What the module asked of the host, in order, and what it did wrong.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::standin {

struct HostCall {
    std::string service;   // the lookup name, or "global" for the lookup itself
    std::string operation; // e.g. "create", "getValue"
    std::string arguments; // a short summary, e.g. "ZoomFactor t=0.5"

    bool operator==(const HostCall&) const = default;
};

class CallLog {
public:
    void record(std::string_view service, std::string_view operation, std::string arguments);
    // Misuse by the module, such as an unknown or destroyed handle; the host survives it.
    void fault(std::string description);

    const std::vector<HostCall>& calls() const { return calls_; }
    const std::vector<std::string>& faults() const { return faults_; }
    // The operations of one service, in order.
    std::vector<std::string> operationsOf(std::string_view service) const;
    void clear();

    // Recording can be paused for long renders; faults are always kept.
    void setRecording(bool on) { recording_ = on; }

private:
    std::vector<HostCall> calls_;
    std::vector<std::string> faults_;
    bool recording_ = true;
};

} // namespace vantorel::standin
