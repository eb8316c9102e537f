// Shortcuts for tests that use the stand-in host's services as a module would.
#pragma once

#include <gtest/gtest.h>

#include "stand_in_host/stand_in_host.h"

namespace vantorel::standin::testing {

template <typename Service> const Service& lookUpService(const char* name) {
    const auto* service = static_cast<const Service*>(StandInHost::globalLookup()(name, 0));
    if (!service) {
        throw std::runtime_error(std::string("service missing: ") + name);
    }
    return *service;
}

inline const ChannelFuncs& channelService() {
    return lookUpService<ChannelFuncs>(CHANNEL_SERVICE_NAME);
}

inline double readChannel(ChannelHandle channel, double time) {
    double value[3] = {-1.0, -1.0, -1.0};
    channelService().getValue(channel, time, nullptr, value);
    return value[0];
}

} // namespace vantorel::standin::testing
