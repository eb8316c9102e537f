// The host's animated channels: a value keyed over time, named and placed in a channel group.
#pragma once

#include <cstdint>
#include <string>

#include "host/host_interface.h"
#include "stand_in_host/keyed_track.h"

namespace vantorel::standin {

class Channel {
public:
    Channel(std::uint64_t serial, int kind, int envelopeFlags);

    // Numbers channels in the order they were created, for the call record.
    std::uint64_t serial() const { return serial_; }
    int kind() const { return kind_; }
    int envelopeFlags() const { return envelopeFlags_; }

    void setUp(std::string name, ChannelGroupHandle group);
    const std::string& name() const { return name_; }
    ChannelGroupHandle group() const { return group_; }

    // Without keys the channel holds the value last set; keys take precedence over it.
    void setValue(double value) { track_.setValue(value); }
    void setKey(double time, double value) { track_.setKey(time, value); }
    void clearKeys() { track_.clearKeys(); }
    const KeyedTrack<double>& track() const { return track_; }
    double valueAt(double time) const { return track_.valueAt(time); }

    // Takes over the other channel's keys and value; name and group stay.
    void copyAnimationFrom(const Channel& source) { track_ = source.track_; }

    // Writes the keys and value as one self-describing float sequence.
    void save(const SaveState& state) const;
    // Reads what save wrote. On failure returns an error text and leaves the channel unchanged.
    const char* load(const LoadState& state);

private:
    std::uint64_t serial_;
    int kind_;
    int envelopeFlags_;
    std::string name_;
    ChannelGroupHandle group_ = nullptr;
    KeyedTrack<double> track_;
};

// Error texts of a channel load.
inline constexpr const char* kChannelStateUnreadable = "Channel data could not be read";
inline constexpr const char* kChannelStateTruncated = "Channel data ends early";
inline constexpr const char* kChannelStateDamaged = "Channel data is damaged";

// The most keys a stored channel may have; a larger count marks damaged data.
inline constexpr int kMaxStoredKeys = 1 << 16;

} // namespace vantorel::standin
