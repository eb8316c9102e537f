// The service records the global lookup hands out, and the plain C functions behind them.
//
// Each function finds the current host, records the call, checks every handle it is given and
// notes a misuse as a fault with a harmless result. Nothing thrown inside the host leaves it:
// the module on the other side is C.
#include <string>

#include "stand_in_host/number_text.h"
#include "stand_in_host/stand_in_host.h"

namespace vantorel::standin {

namespace {

// Runs body on the current host, or gives fallback when there is none or the body throws.
template <typename Result, typename Body> Result onHost(Result fallback, Body body) noexcept {
    StandInHost* host = StandInHost::current();
    if (!host) {
        return fallback;
    }
    try {
        return body(*host);
    } catch (...) {
        return fallback;
    }
}

template <typename Body> void onHost(Body body) noexcept {
    onHost(0, [&](StandInHost& host) {
        body(host);
        return 0;
    });
}

std::string text(const char* value) {
    return value ? std::string(value) : std::string("(null)");
}

} // namespace

struct ServiceTables {
    static constexpr const char* kGlobal = "global";
    static constexpr EnvelopeService envelopes{1};

    static void* lookUp(const char* serviceName, int useMode) noexcept {
        return onHost<void*>(nullptr,
                             [&](StandInHost& host) { return host.lookUp(serviceName, useMode); });
    }

    // ---- Channels ----

    static Channel* knownChannel(StandInHost& host, ChannelHandle handle, const char* operation) {
        Channel* channel = host.channel(handle);
        if (!channel) {
            host.log_.fault(std::string(CHANNEL_SERVICE_NAME) + " " + operation +
                            ": unknown channel");
        }
        return channel;
    }

    static ChannelHandle channelCreate(int kind, int envelopeFlags) noexcept {
        return onHost<ChannelHandle>(nullptr, [&](StandInHost& host) -> ChannelHandle {
            host.log_.record(CHANNEL_SERVICE_NAME, "create",
                             "kind=" + std::to_string(kind) +
                                 " flags=" + std::to_string(envelopeFlags));
            if (host.channelCreation_.failsNow()) {
                return nullptr;
            }
            auto channel =
                std::make_unique<Channel>(host.nextChannelSerial_++, kind, envelopeFlags);
            const auto handle = reinterpret_cast<ChannelHandle>(channel.get());
            host.channels_.emplace(handle, std::move(channel));
            return handle;
        });
    }

    static void channelDestroy(ChannelHandle handle) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(CHANNEL_SERVICE_NAME, "destroy", host.describe(handle));
            if (knownChannel(host, handle, "destroy")) {
                host.channels_.erase(handle);
            }
        });
    }

    static void channelSetUp(ChannelHandle handle, const char* name, ChannelGroupHandle group,
                             void*, void*, void*, void*) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(CHANNEL_SERVICE_NAME, "setup",
                             host.describe(handle) + " name=" + text(name) +
                                 " group=" + host.describe(group));
            if (Channel* channel = knownChannel(host, handle, "setup")) {
                channel->setUp(name ? name : "", group);
            }
        });
    }

    static const char* channelCopy(ChannelHandle destination, ChannelHandle source) noexcept {
        return onHost<const char*>(kUnknownChannel, [&](StandInHost& host) -> const char* {
            host.log_.record(CHANNEL_SERVICE_NAME, "copy",
                             host.describe(destination) + " <- " + host.describe(source));
            Channel* to = knownChannel(host, destination, "copy");
            const Channel* from = knownChannel(host, source, "copy");
            if (!to || !from) {
                return kUnknownChannel;
            }
            to->copyAnimationFrom(*from);
            return nullptr;
        });
    }

    static const char* channelLoad(ChannelHandle handle, const LoadState* state) noexcept {
        return onHost<const char*>(kUnknownChannel, [&](StandInHost& host) -> const char* {
            host.log_.record(CHANNEL_SERVICE_NAME, "load", host.describe(handle));
            Channel* channel = knownChannel(host, handle, "load");
            if (!channel) {
                return kUnknownChannel;
            }
            if (!state) {
                host.log_.fault(std::string(CHANNEL_SERVICE_NAME) + " load: no load state");
                return kChannelStateUnreadable;
            }
            if (host.channelLoad_.failsNow()) {
                return host.channelLoad_.error.c_str();
            }
            return channel->load(*state);
        });
    }

    static const char* channelSave(ChannelHandle handle, const SaveState* state) noexcept {
        return onHost<const char*>(kUnknownChannel, [&](StandInHost& host) -> const char* {
            host.log_.record(CHANNEL_SERVICE_NAME, "save", host.describe(handle));
            const Channel* channel = knownChannel(host, handle, "save");
            if (!channel) {
                return kUnknownChannel;
            }
            if (!state) {
                host.log_.fault(std::string(CHANNEL_SERVICE_NAME) + " save: no save state");
                return kNoSaveState;
            }
            if (host.channelSave_.failsNow()) {
                return host.channelSave_.error.c_str();
            }
            channel->save(*state);
            return nullptr;
        });
    }

    static int channelGetValue(ChannelHandle handle, double time, void*, double value[3]) noexcept {
        return onHost(0, [&](StandInHost& host) {
            host.log_.record(CHANNEL_SERVICE_NAME, "getValue",
                             host.describe(handle) + " t=" + numberText(time));
            const Channel* channel = knownChannel(host, handle, "getValue");
            if (!value) {
                host.log_.fault(std::string(CHANNEL_SERVICE_NAME) + " getValue: no vector");
            }
            if (!channel || !value) {
                return 0;
            }
            value[0] = channel->valueAt(time);
            value[1] = 0.0;
            value[2] = 0.0;
            return 1;
        });
    }

    static int channelSetValue(ChannelHandle handle, const double* value) noexcept {
        return onHost(0, [&](StandInHost& host) {
            host.log_.record(CHANNEL_SERVICE_NAME, "setValue",
                             host.describe(handle) +
                                 (value ? " value=" + numberText(*value) : " no value"));
            Channel* channel = knownChannel(host, handle, "setValue");
            if (!value) {
                host.log_.fault(std::string(CHANNEL_SERVICE_NAME) + " setValue: no value");
            }
            if (!channel || !value) {
                return 0;
            }
            channel->setValue(*value);
            return 1;
        });
    }

    // ---- Items and cameras ----

    static const SceneItem* knownItem(StandInHost& host, ItemHandle handle, const char* service,
                                      const char* operation) {
        const SceneItem* item = host.findItem(handle);
        if (!item) {
            host.log_.fault(std::string(service) + " " + operation + ": unknown item");
        }
        return item;
    }

    static ChannelGroupHandle itemChannelGroup(ItemHandle handle) noexcept {
        return onHost<ChannelGroupHandle>(nullptr, [&](StandInHost& host) {
            host.log_.record(ITEM_INFO_SERVICE_NAME, "channelGroup", host.describe(handle));
            knownItem(host, handle, ITEM_INFO_SERVICE_NAME, "channelGroup");
            return host.channelGroupOf(handle);
        });
    }

    static Vec3 itemParameter(const SceneItem& item, int code, double time) {
        switch (code) {
        case ITEM_RIGHT:
            return item.right.valueAt(time);
        case ITEM_UP:
            return item.up.valueAt(time);
        case ITEM_FORWARD:
            return item.forward.valueAt(time);
        case ITEM_WORLD_POSITION:
            return item.position.valueAt(time);
        default:
            return Vec3{0.0, 0.0, 0.0};
        }
    }

    static void itemParam(ItemHandle handle, int code, double time, double out[3]) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(ITEM_INFO_SERVICE_NAME, "param",
                             host.describe(handle) + " code=" + std::to_string(code) +
                                 " t=" + numberText(time));
            if (!out) {
                host.log_.fault(std::string(ITEM_INFO_SERVICE_NAME) + " param: no vector");
                return;
            }
            const SceneItem* item = knownItem(host, handle, ITEM_INFO_SERVICE_NAME, "param");
            const Vec3 value = item ? itemParameter(*item, code, time) : Vec3{0.0, 0.0, 0.0};
            for (int i = 0; i < 3; ++i) {
                out[i] = value[i];
            }
        });
    }

    static double cameraValue(ItemHandle handle, double time, const char* operation,
                              KeyedTrack<double> SceneItem::*track) noexcept {
        return onHost(0.0, [&](StandInHost& host) {
            host.log_.record(CAMERA_INFO_SERVICE_NAME, operation,
                             host.describe(handle) + " t=" + numberText(time));
            const SceneItem* item = knownItem(host, handle, CAMERA_INFO_SERVICE_NAME, operation);
            return item ? (item->*track).valueAt(time) : 0.0;
        });
    }

    static double cameraZoomFactor(ItemHandle handle, double time) noexcept {
        return cameraValue(handle, time, "zoomFactor", &SceneItem::zoomFactor);
    }
    static double cameraFocusDistance(ItemHandle handle, double time) noexcept {
        return cameraValue(handle, time, "focusDistance", &SceneItem::focusDistance);
    }
    static double cameraFStop(ItemHandle handle, double time) noexcept {
        return cameraValue(handle, time, "fStop", &SceneItem::fStop);
    }

    // ---- Panels ----

    static Panel* knownPanel(StandInHost& host, PanelHandle handle, const char* operation) {
        Panel* panel = host.panel(handle);
        if (!panel) {
            host.log_.fault(std::string(PANEL_SERVICE_NAME) + " " + operation + ": unknown panel");
        }
        return panel;
    }

    static PanelHandle panelCreate(int type, const PanelControl* controls) noexcept {
        return onHost<PanelHandle>(nullptr, [&](StandInHost& host) -> PanelHandle {
            host.log_.record(PANEL_SERVICE_NAME, "create", "type=" + std::to_string(type));
            if (host.panelCreation_.failsNow()) {
                return nullptr;
            }
            auto copied = copyControls(controls);
            if (!copied) {
                host.log_.fault(std::string(PANEL_SERVICE_NAME) +
                                " create: control table missing or not ended");
                return nullptr;
            }
            auto panel = std::make_unique<Panel>();
            panel->type = type;
            panel->controls = std::move(*copied);
            const auto handle = reinterpret_cast<PanelHandle>(panel.get());
            host.panels_.emplace(handle, std::move(panel));
            return handle;
        });
    }

    static void panelDestroy(PanelHandle handle) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(PANEL_SERVICE_NAME, "destroy", "");
            if (knownPanel(host, handle, "destroy")) {
                host.panels_.erase(handle);
            }
        });
    }

    static void panelDescribe(PanelHandle handle, const PanelData* data, PanelGetFunc get,
                              PanelSetFunc set) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(PANEL_SERVICE_NAME, "describe", "");
            Panel* panel = knownPanel(host, handle, "describe");
            if (!panel) {
                return;
            }
            auto copied = copyData(data);
            if (!copied) {
                host.log_.fault(std::string(PANEL_SERVICE_NAME) +
                                " describe: data table missing or not ended");
            }
            panel->data = copied ? std::move(*copied) : std::vector<PanelDataEntry>{};
            panel->get = get;
            panel->set = set;
        });
    }

    static void panelHint(PanelHandle handle, std::uint32_t id,
                          const std::uintptr_t* hints) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(PANEL_SERVICE_NAME, "hint", "id=" + std::to_string(id));
            Panel* panel = knownPanel(host, handle, "hint");
            if (!panel) {
                return;
            }
            HintList list = readHints(id, hints);
            if (!list.complete && !list.unknownTag) {
                host.log_.fault(std::string(PANEL_SERVICE_NAME) +
                                " hint: hint list missing or not ended");
            }
            panel->hintLists.push_back(std::move(list));
        });
    }

    static void panelViewInstance(PanelHandle handle, void* instance) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(PANEL_SERVICE_NAME, "viewInstance", "");
            if (Panel* panel = knownPanel(host, handle, "viewInstance")) {
                panel->viewedInstance = instance;
            }
        });
    }

    static void panelSetData(PanelHandle handle, std::uint32_t id, void* data) noexcept {
        onHost([&](StandInHost& host) {
            host.log_.record(PANEL_SERVICE_NAME, "setData", "id=" + std::to_string(id));
            if (Panel* panel = knownPanel(host, handle, "setData")) {
                panel->dataById[id] = data;
            }
        });
    }

    // ---- Instance update ----

    static int instanceUpdate(const char* className, void* instance) noexcept {
        return onHost(0, [&](StandInHost& host) {
            host.log_.record(INSTANCE_UPDATE_SERVICE_NAME, "notify", text(className));
            host.instanceUpdates_.push_back(InstanceUpdate{text(className), instance});
            return 1;
        });
    }

    static constexpr const char* kUnknownChannel = "Unknown channel";
    static constexpr const char* kNoSaveState = "No save state";

    static constexpr ChannelFuncs channels{&channelCreate,   &channelDestroy, &channelSetUp,
                                           &channelCopy,     &channelLoad,    &channelSave,
                                           &channelGetValue, &channelSetValue};
    static constexpr ItemInfo items{&itemChannelGroup, &itemParam};
    static constexpr CameraInfo cameras{&cameraZoomFactor, &cameraFocusDistance, &cameraFStop};
    static constexpr PanelFuncs panels{&panelCreate, &panelDestroy,      &panelDescribe,
                                       &panelHint,   &panelViewInstance, &panelSetData};
};

GlobalLookup StandInHost::globalLookup() {
    return &ServiceTables::lookUp;
}

void* StandInHost::lookUp(const char* serviceName, int useMode) {
    if (!serviceName) {
        log_.fault("lookup without a service name");
        return nullptr;
    }
    const std::string_view name(serviceName);
    log_.record(ServiceTables::kGlobal, "lookup",
                std::string(name) + " mode=" + std::to_string(useMode));
    if (absentServices_.contains(name)) {
        return nullptr;
    }
    // The records are constant; the module only reads them.
    if (name == CHANNEL_SERVICE_NAME) {
        return const_cast<ChannelFuncs*>(&ServiceTables::channels);
    }
    if (name == ITEM_INFO_SERVICE_NAME) {
        return const_cast<ItemInfo*>(&ServiceTables::items);
    }
    if (name == CAMERA_INFO_SERVICE_NAME) {
        return const_cast<CameraInfo*>(&ServiceTables::cameras);
    }
    if (name == TIME_INFO_SERVICE_NAME) {
        return &timeInfo_;
    }
    if (name == ENVELOPE_SERVICE_NAME) {
        return const_cast<EnvelopeService*>(&ServiceTables::envelopes);
    }
    if (name == PANEL_SERVICE_NAME) {
        return const_cast<PanelFuncs*>(&ServiceTables::panels);
    }
    if (name == INSTANCE_UPDATE_SERVICE_NAME) {
        return reinterpret_cast<void*>(&ServiceTables::instanceUpdate);
    }
    return nullptr;
}

} // namespace vantorel::standin
