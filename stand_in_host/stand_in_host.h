// A host for the camera module that runs in tests, tools and the demo renderer.
//
// It offers every service of the binary contract for real: channels animated from keys, camera
// items keyed over time, the time record, panels and instance updates. It records each call the
// module makes, notes each misuse (an unknown or destroyed handle, an unterminated table) as a
// fault instead of crashing, and has switches to take services away or make operations fail.
//
// One host at a time: the global lookup and the service records are plain C functions with no
// context, so they answer for the current host, the most recently constructed one still alive.
// Destroying it makes the one before it current again, so hosts must be destroyed in the reverse
// order of their construction. Without a current host the lookup finds nothing. Everything runs
// on the host thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/host_interface.h"
#include "stand_in_host/call_log.h"
#include "stand_in_host/channel.h"
#include "stand_in_host/panel.h"
#include "stand_in_host/scene.h"

namespace vantorel::standin {

// Makes an operation fail from its (passes + 1)-th call on, counted from when the switch is set.
struct FailAfter {
    int passes = 0;
};

struct InstanceUpdate {
    std::string className;
    void* instance;
    bool operator==(const InstanceUpdate&) const = default;
};

// The record behind "Animation Envelopes"; the module only tests that it is there.
struct EnvelopeService {
    int version;
};

class StandInHost {
public:
    StandInHost();
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    static StandInHost* current();
    // The lookup to hand to a module's activation.
    static GlobalLookup globalLookup();
    // What the global lookup answers while this host is current: the service, or none.
    void* lookUp(const char* serviceName, int useMode);

    // ---- Switches ----
    void setServiceAvailable(std::string_view serviceName, bool available);
    void failChannelCreation(FailAfter after = {});
    // The error text stays valid until the switch is set again or cleared.
    void failChannelLoad(std::string error, FailAfter after = {});
    void failChannelSave(std::string error, FailAfter after = {});
    void failPanelCreation(FailAfter after = {});
    void clearFailures();

    // ---- Scene ----
    ItemHandle addCamera(std::string name);
    SceneItem* findItem(ItemHandle handle);
    const SceneItem* findItem(ItemHandle handle) const;
    // Throws std::out_of_range for a handle this host did not make.
    SceneItem& item(ItemHandle handle);
    const SceneItem& item(ItemHandle handle) const;
    ChannelGroupHandle channelGroupOf(ItemHandle handle) const;

    void setTime(double time, int frame);
    // Moves to the start of a frame, by the frame timing.
    void goToFrame(int frame);
    const TimeInfo& timeInfo() const { return timeInfo_; }
    FrameTiming& frameTiming() { return frameTiming_; }
    // The renderer's record of a frame: it starts at the frame's time, and its exposure lasts
    // the shutter fraction of a frame.
    FrameInfo frameInfo(int frame) const;
    CameraAccess cameraAccess(ItemHandle camera) const;

    // ---- Channels ----
    Channel* channel(ChannelHandle handle);
    Channel* findChannel(ChannelGroupHandle group, std::string_view name);
    std::size_t channelCount() const { return channels_.size(); }

    // ---- Panels and notifications ----
    Panel* panel(PanelHandle handle);
    std::vector<PanelHandle> panels() const;
    // One line per control: its label and the value the module's get callback gives, channels
    // read at the current time.
    std::string panelText(PanelHandle handle);
    const std::vector<InstanceUpdate>& instanceUpdates() const { return instanceUpdates_; }

    // ---- Record of calls ----
    CallLog& log() { return log_; }
    const CallLog& log() const { return log_; }

private:
    friend struct ServiceTables;

    struct FailurePlan {
        bool armed = false;
        int passes = 0;
        std::string error;
        bool failsNow();
    };

    std::string describe(ChannelHandle handle) const;
    std::string describe(ItemHandle handle) const;
    std::string describe(ChannelGroupHandle handle) const;
    std::string valueText(const std::string& controlType, void* value) const;

    StandInHost* previous_;
    std::set<std::string, std::less<>> absentServices_;
    FailurePlan channelCreation_;
    FailurePlan channelLoad_;
    FailurePlan channelSave_;
    FailurePlan panelCreation_;

    std::vector<std::unique_ptr<SceneItem>> items_;
    TimeInfo timeInfo_{0.0, 0};
    FrameTiming frameTiming_;

    std::map<ChannelHandle, std::unique_ptr<Channel>> channels_;
    std::uint64_t nextChannelSerial_ = 1;
    std::map<PanelHandle, std::unique_ptr<Panel>> panels_;
    std::vector<InstanceUpdate> instanceUpdates_;
    CallLog log_;
};

} // namespace vantorel::standin
