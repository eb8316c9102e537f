/* Where each member of each host record lies, derived from the rules the host's compiler lays
 * records out by: members in the order declared, each at the next offset its alignment allows,
 * data and function pointers as wide as the target's pointers, int and uint32_t 4 bytes, double
 * 8 bytes and aligned to 8 inside records (32-bit Windows included), and a record's size rounded
 * up to its widest member. The same expectations hold on 32-bit and 64-bit targets; any drift of
 * the declarations stops the build. Included from C and from C++, so both compilers are held to
 * them. */
#ifndef VANTOREL_TESTS_RECORD_LAYOUT_H
#define VANTOREL_TESTS_RECORD_LAYOUT_H

#include <stddef.h>
#include <stdint.h>

#include "host/host_interface.h"

#ifdef __cplusplus
#define LAYOUT_ASSERT(condition, what) static_assert(condition, what)
#else
#define LAYOUT_ASSERT(condition, what) _Static_assert(condition, what)
#endif

#define LAYOUT_P sizeof(void*)
#define LAYOUT_ROUND_UP(offset, alignment) (((offset) + (alignment)-1) / (alignment) * (alignment))
#define LAYOUT_AT(record, member, offset)                                                          \
    LAYOUT_ASSERT(offsetof(record, member) == (offset), #record "." #member " lies at " #offset)
#define LAYOUT_SIZE(record, size) LAYOUT_ASSERT(sizeof(record) == (size), #record " is " #size)

/* The widths the rules start from. */
LAYOUT_ASSERT(LAYOUT_P == 4 || LAYOUT_P == 8, "pointers are 4 or 8 bytes");
LAYOUT_ASSERT(sizeof(ActivateFunc) == LAYOUT_P, "function pointers are as wide as pointers");
LAYOUT_ASSERT(sizeof(uintptr_t) == LAYOUT_P, "a hint word is as wide as a pointer");
LAYOUT_ASSERT(sizeof(int) == 4 && sizeof(uint32_t) == 4, "int and uint32_t are 4 bytes");
LAYOUT_ASSERT(sizeof(double) == 8, "double is 8 bytes");

/* ---- Records handed to the handler ---- */

LAYOUT_AT(CameraAccess, cameraItem, 0);
LAYOUT_AT(CameraAccess, imageWidth, LAYOUT_P);
LAYOUT_AT(CameraAccess, imageHeight, LAYOUT_P + 4);
LAYOUT_AT(CameraAccess, pixelAspect, LAYOUT_ROUND_UP(LAYOUT_P + 8, 8));
LAYOUT_AT(CameraAccess, filmWidth, LAYOUT_ROUND_UP(LAYOUT_P + 8, 8) + 8);
LAYOUT_AT(CameraAccess, filmHeight, LAYOUT_ROUND_UP(LAYOUT_P + 8, 8) + 16);
LAYOUT_SIZE(CameraAccess, LAYOUT_ROUND_UP(LAYOUT_P + 8, 8) + 24);

LAYOUT_AT(FrameInfo, frameTime, 0);
LAYOUT_AT(FrameInfo, frameNumber, 8);
LAYOUT_AT(FrameInfo, exposureStart, 16);
LAYOUT_AT(FrameInfo, exposureDuration, 24);
LAYOUT_AT(FrameInfo, framesPerSecond, 32);
LAYOUT_AT(FrameInfo, motionSteps, 40);
LAYOUT_SIZE(FrameInfo, 48);

LAYOUT_AT(CameraRay, origin, 0);
LAYOUT_AT(CameraRay, direction, 24);
LAYOUT_AT(CameraRay, filmNormal, 48);
LAYOUT_AT(CameraRay, filter, 72);
LAYOUT_SIZE(CameraRay, 144);

LAYOUT_AT(ProjectionMatrix, m, 0);
LAYOUT_SIZE(ProjectionMatrix, 128);

LAYOUT_AT(LoadState, encoding, 0);
LAYOUT_AT(LoadState, readerData, LAYOUT_P);
LAYOUT_AT(LoadState, readFloats, 2 * LAYOUT_P);
LAYOUT_SIZE(LoadState, 3 * LAYOUT_P);

LAYOUT_AT(SaveState, encoding, 0);
LAYOUT_AT(SaveState, writerData, LAYOUT_P);
LAYOUT_AT(SaveState, writeFloats, 2 * LAYOUT_P);
LAYOUT_SIZE(SaveState, 3 * LAYOUT_P);

/* ---- Module descriptor ---- */

LAYOUT_AT(ServerTag, text, 0);
LAYOUT_AT(ServerTag, tag, LAYOUT_P);
LAYOUT_SIZE(ServerTag, 2 * LAYOUT_P);

LAYOUT_AT(ServerRecord, className, 0);
LAYOUT_AT(ServerRecord, serverName, LAYOUT_P);
LAYOUT_AT(ServerRecord, activate, 2 * LAYOUT_P);
LAYOUT_AT(ServerRecord, tags, 3 * LAYOUT_P);
LAYOUT_SIZE(ServerRecord, 4 * LAYOUT_P);

LAYOUT_AT(ModuleDescriptor, synchronisation, 0);
LAYOUT_AT(ModuleDescriptor, systemVersion, 4);
LAYOUT_AT(ModuleDescriptor, machineCode, 8);
LAYOUT_AT(ModuleDescriptor, startup, LAYOUT_ROUND_UP(12, LAYOUT_P));
LAYOUT_AT(ModuleDescriptor, shutdown, LAYOUT_ROUND_UP(12, LAYOUT_P) + LAYOUT_P);
LAYOUT_AT(ModuleDescriptor, servers, LAYOUT_ROUND_UP(12, LAYOUT_P) + 2 * LAYOUT_P);
LAYOUT_SIZE(ModuleDescriptor, LAYOUT_ROUND_UP(12, LAYOUT_P) + 3 * LAYOUT_P);

/* ---- Camera handler and interface servers ---- */

LAYOUT_AT(InstanceFuncs, privateData, 0);
LAYOUT_AT(InstanceFuncs, create, LAYOUT_P);
LAYOUT_AT(InstanceFuncs, destroy, 2 * LAYOUT_P);
LAYOUT_AT(InstanceFuncs, copy, 3 * LAYOUT_P);
LAYOUT_AT(InstanceFuncs, load, 4 * LAYOUT_P);
LAYOUT_AT(InstanceFuncs, save, 5 * LAYOUT_P);
LAYOUT_AT(InstanceFuncs, describe, 6 * LAYOUT_P);
LAYOUT_SIZE(InstanceFuncs, 7 * LAYOUT_P);

LAYOUT_AT(CameraHandlerRecord, inst, 0);
LAYOUT_AT(CameraHandlerRecord, item, LAYOUT_P);
LAYOUT_AT(CameraHandlerRecord, rend, 2 * LAYOUT_P);
LAYOUT_AT(CameraHandlerRecord, preview, 3 * LAYOUT_P);
LAYOUT_AT(CameraHandlerRecord, newFrame, 4 * LAYOUT_P);
LAYOUT_AT(CameraHandlerRecord, evaluate, 5 * LAYOUT_P);
LAYOUT_AT(CameraHandlerRecord, flags, 6 * LAYOUT_P);
LAYOUT_SIZE(CameraHandlerRecord, 7 * LAYOUT_P);

LAYOUT_AT(CameraInterfaceRecord, inst, 0);
LAYOUT_AT(CameraInterfaceRecord, panel, LAYOUT_P);
LAYOUT_AT(CameraInterfaceRecord, options, 2 * LAYOUT_P);
LAYOUT_AT(CameraInterfaceRecord, command, 3 * LAYOUT_P);
LAYOUT_SIZE(CameraInterfaceRecord, 4 * LAYOUT_P);

/* ---- Services ---- */

LAYOUT_AT(ChannelFuncs, create, 0);
LAYOUT_AT(ChannelFuncs, destroy, LAYOUT_P);
LAYOUT_AT(ChannelFuncs, setup, 2 * LAYOUT_P);
LAYOUT_AT(ChannelFuncs, copy, 3 * LAYOUT_P);
LAYOUT_AT(ChannelFuncs, load, 4 * LAYOUT_P);
LAYOUT_AT(ChannelFuncs, save, 5 * LAYOUT_P);
LAYOUT_AT(ChannelFuncs, getValue, 6 * LAYOUT_P);
LAYOUT_AT(ChannelFuncs, setValue, 7 * LAYOUT_P);
LAYOUT_SIZE(ChannelFuncs, 8 * LAYOUT_P);

LAYOUT_AT(ItemInfo, channelGroup, 0);
LAYOUT_AT(ItemInfo, param, LAYOUT_P);
LAYOUT_SIZE(ItemInfo, 2 * LAYOUT_P);

LAYOUT_AT(CameraInfo, zoomFactor, 0);
LAYOUT_AT(CameraInfo, focusDistance, LAYOUT_P);
LAYOUT_AT(CameraInfo, fStop, 2 * LAYOUT_P);
LAYOUT_SIZE(CameraInfo, 3 * LAYOUT_P);

LAYOUT_AT(TimeInfo, time, 0);
LAYOUT_AT(TimeInfo, frame, 8);
LAYOUT_SIZE(TimeInfo, 16);

LAYOUT_AT(PanelControl, id, 0);
LAYOUT_AT(PanelControl, label, LAYOUT_P);
LAYOUT_AT(PanelControl, controlType, 2 * LAYOUT_P);
LAYOUT_SIZE(PanelControl, 3 * LAYOUT_P);

LAYOUT_AT(PanelData, id, 0);
LAYOUT_AT(PanelData, name, LAYOUT_P);
LAYOUT_AT(PanelData, dataType, 2 * LAYOUT_P);
LAYOUT_SIZE(PanelData, 3 * LAYOUT_P);

LAYOUT_AT(PanelFuncs, create, 0);
LAYOUT_AT(PanelFuncs, destroy, LAYOUT_P);
LAYOUT_AT(PanelFuncs, describe, 2 * LAYOUT_P);
LAYOUT_AT(PanelFuncs, hint, 3 * LAYOUT_P);
LAYOUT_AT(PanelFuncs, viewInstance, 4 * LAYOUT_P);
LAYOUT_AT(PanelFuncs, setData, 5 * LAYOUT_P);
LAYOUT_SIZE(PanelFuncs, 6 * LAYOUT_P);

#endif
