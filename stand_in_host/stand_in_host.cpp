#include "stand_in_host/stand_in_host.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "stand_in_host/number_text.h"

namespace vantorel::standin {

namespace {

StandInHost* currentHost = nullptr;

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Percentages are held as fractions and shown as percent.
std::string shownNumber(std::string_view controlType, double value) {
    return startsWith(controlType, "percent") ? numberText(value * 100.0) + " %"
                                              : numberText(value);
}

} // namespace

bool StandInHost::FailurePlan::failsNow() {
    if (!armed) {
        return false;
    }
    if (passes > 0) {
        --passes;
        return false;
    }
    return true;
}

StandInHost::StandInHost() : previous_(currentHost) {
    currentHost = this;
}

StandInHost::~StandInHost() {
    if (currentHost == this) {
        currentHost = previous_;
    }
}

StandInHost* StandInHost::current() {
    return currentHost;
}

void StandInHost::setServiceAvailable(std::string_view serviceName, bool available) {
    if (available) {
        if (auto found = absentServices_.find(serviceName); found != absentServices_.end()) {
            absentServices_.erase(found);
        }
    } else {
        absentServices_.emplace(serviceName);
    }
}

void StandInHost::failChannelCreation(FailAfter after) {
    channelCreation_ = FailurePlan{true, after.passes, {}};
}

void StandInHost::failChannelLoad(std::string error, FailAfter after) {
    channelLoad_ = FailurePlan{true, after.passes, std::move(error)};
}

void StandInHost::failChannelSave(std::string error, FailAfter after) {
    channelSave_ = FailurePlan{true, after.passes, std::move(error)};
}

void StandInHost::failPanelCreation(FailAfter after) {
    panelCreation_ = FailurePlan{true, after.passes, {}};
}

void StandInHost::clearFailures() {
    channelCreation_ = {};
    channelLoad_ = {};
    channelSave_ = {};
    panelCreation_ = {};
}

ItemHandle StandInHost::addCamera(std::string name) {
    items_.push_back(std::make_unique<SceneItem>(std::move(name)));
    return reinterpret_cast<ItemHandle>(items_.back().get());
}

SceneItem* StandInHost::findItem(ItemHandle handle) {
    return const_cast<SceneItem*>(std::as_const(*this).findItem(handle));
}

const SceneItem* StandInHost::findItem(ItemHandle handle) const {
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& item) {
        return reinterpret_cast<ItemHandle>(item.get()) == handle;
    });
    return found != items_.end() ? found->get() : nullptr;
}

SceneItem& StandInHost::item(ItemHandle handle) {
    return const_cast<SceneItem&>(std::as_const(*this).item(handle));
}

const SceneItem& StandInHost::item(ItemHandle handle) const {
    if (const SceneItem* found = findItem(handle)) {
        return *found;
    }
    throw std::out_of_range("not an item of this host");
}

ChannelGroupHandle StandInHost::channelGroupOf(ItemHandle handle) const {
    const SceneItem* found = findItem(handle);
    return found ? reinterpret_cast<ChannelGroupHandle>(const_cast<ChannelGroup*>(&found->channels))
                 : nullptr;
}

void StandInHost::setTime(double time, int frame) {
    timeInfo_ = TimeInfo{time, frame};
}

void StandInHost::goToFrame(int frame) {
    setTime(frame / frameTiming_.framesPerSecond, frame);
}

FrameInfo StandInHost::frameInfo(int frame) const {
    const double fps = frameTiming_.framesPerSecond;
    const double start = frame / fps;
    return FrameInfo{
        start, frame, start, frameTiming_.shutterFraction / fps, fps, frameTiming_.motionSteps};
}

CameraAccess StandInHost::cameraAccess(ItemHandle camera) const {
    const SceneItem& found = item(camera);
    return CameraAccess{camera,          found.imageWidth, found.imageHeight, found.pixelAspect,
                        found.filmWidth, found.filmHeight};
}

Channel* StandInHost::channel(ChannelHandle handle) {
    const auto found = channels_.find(handle);
    return found != channels_.end() ? found->second.get() : nullptr;
}

Channel* StandInHost::findChannel(ChannelGroupHandle group, std::string_view name) {
    for (const auto& [handle, channel] : channels_) {
        if (channel->group() == group && channel->name() == name) {
            return channel.get();
        }
    }
    return nullptr;
}

Panel* StandInHost::panel(PanelHandle handle) {
    const auto found = panels_.find(handle);
    return found != panels_.end() ? found->second.get() : nullptr;
}

std::vector<PanelHandle> StandInHost::panels() const {
    std::vector<PanelHandle> handles;
    for (const auto& entry : panels_) {
        handles.push_back(entry.first);
    }
    return handles;
}

std::string StandInHost::valueText(const std::string& controlType, void* value) const {
    if (!value) {
        return "(none)";
    }
    if (endsWith(controlType, "-env")) {
        const auto found = channels_.find(static_cast<ChannelHandle>(value));
        return found != channels_.end()
                   ? shownNumber(controlType, found->second->valueAt(timeInfo_.time))
                   : "(unknown channel)";
    }
    if (controlType == "sInfo" || controlType == "string") {
        return static_cast<const char*>(value);
    }
    if (controlType == "float" || controlType == "distance" || controlType == "percent") {
        return shownNumber(controlType, *static_cast<const double*>(value));
    }
    if (controlType == "integer") {
        return std::to_string(*static_cast<const int*>(value));
    }
    return "(" + controlType + ")";
}

std::string StandInHost::panelText(PanelHandle handle) {
    const Panel* shown = panel(handle);
    if (!shown) {
        return {};
    }
    std::string text;
    for (const PanelControlEntry& control : shown->controls) {
        const std::string value = valueText(control.controlType, shown->value(control.id));
        text += control.label.empty() ? value : control.label + ": " + value;
        text += '\n';
    }
    return text;
}

std::string StandInHost::describe(ChannelHandle handle) const {
    const auto found = channels_.find(handle);
    if (found == channels_.end()) {
        return "unknown channel";
    }
    return found->second->name() + "#" + std::to_string(found->second->serial());
}

std::string StandInHost::describe(ItemHandle handle) const {
    const SceneItem* found = findItem(handle);
    return found ? found->name : "unknown item";
}

std::string StandInHost::describe(ChannelGroupHandle handle) const {
    if (!handle) {
        return "no group";
    }
    for (const auto& item : items_) {
        if (channelGroupOf(reinterpret_cast<ItemHandle>(item.get())) == handle) {
            return item->channels.name;
        }
    }
    return "unknown group";
}

} // namespace vantorel::standin
