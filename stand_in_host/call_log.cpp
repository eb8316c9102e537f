#include "stand_in_host/call_log.h"

namespace vantorel::standin {

void CallLog::record(std::string_view service, std::string_view operation, std::string arguments) {
    if (recording_) {
        calls_.push_back(
            HostCall{std::string(service), std::string(operation), std::move(arguments)});
    }
}

void CallLog::fault(std::string description) {
    faults_.push_back(std::move(description));
}

std::vector<std::string> CallLog::operationsOf(std::string_view service) const {
    std::vector<std::string> operations;
    for (const HostCall& call : calls_) {
        if (call.service == service) {
            operations.push_back(call.operation);
        }
    }
    return operations;
}

void CallLog::clear() {
    calls_.clear();
    faults_.clear();
}

} // namespace vantorel::standin
