#include "host/services.h"

namespace vantorel {

HostServices hostServices;

void* lookUpService(const char* serviceName) noexcept {
    return hostServices.globalLookup ? hostServices.globalLookup(serviceName, 0) : nullptr;
}

} // namespace vantorel
