// The module's servers: the camera handler, its parameter panel and the descriptor that lists
// them. These functions are the only ones that write the module-wide host services.
#pragma once

#include <cstdint>

#include "host/host_interface.h"

namespace vantorel {

inline constexpr const char* kServerName = "Vantorel0.1.5";

// Host thread, whenever the host switches the camera on. Acquires the host services and fills the
// handler record with the camera's functions. 0 accepted, 1 wrong version, 2 a service missing.
int handlerActivate(int version, GlobalLookup global, void* local, void* serverData) noexcept;

// Any thread. The camera's handler flags: 1 for every instance.
int cameraFlags(void* inst) noexcept;

// Host thread, whenever the host opens the camera's panel. 0 accepted (also when the panel cannot
// be created), 1 wrong version, 2 no panel service.
int interfaceActivate(int version, GlobalLookup global, void* local, void* serverData) noexcept;

// Panel callbacks: the value a control shows, and a value the user set.
void* panelGet(void* inst, uint32_t id) noexcept;
int panelSet(void* inst, uint32_t id, void* value) noexcept;

// Accepts one pointer and does nothing: the panel's notification callbacks and the module's
// shutdown function.
void noOpCallback(void* ignored) noexcept;

// Host thread, once after loading: the non-null start-up token.
void* moduleStartup() noexcept;

// Panel identifiers.
enum PanelId : uint32_t {
    kPanelZoom = 0x8001,
    kPanelFocalLengthLine = 0x8002,
    kPanelHorizontalShift = 0x8003,
    kPanelVerticalShift = 0x8004,
    kPanelDistortion = 0x8005,
    kPanelVignetting = 0x8006,
};

} // namespace vantorel
