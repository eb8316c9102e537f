/* The binary contract between the host and a camera module.
 *
 * Plain C records and function pointers, members in the host's order, the platform's default C
 * calling convention. The header compiles as C and as C++; it holds declarations only. Handles are
 * pointers to incomplete types: the module never looks inside them. */
#ifndef VANTOREL_HOST_INTERFACE_H
#define VANTOREL_HOST_INTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct HostItem* ItemHandle;
typedef struct HostChannel* ChannelHandle;
typedef struct HostChannelGroup* ChannelGroupHandle;
typedef struct HostPanel* PanelHandle;

/* Returns the named service, or none when the host does not offer it. useMode is always 0 here. */
typedef void* (*GlobalLookup)(const char* serviceName, int useMode);

/* Activation results. */
enum { ACTIVATE_OK = 0, ACTIVATE_BAD_VERSION = 1, ACTIVATE_MISSING_SERVICE = 2 };

/* Called by the host when it activates a server; local points at the class's record. */
typedef int (*ActivateFunc)(int version, GlobalLookup global, void* local, void* serverData);

/* ---- Records handed to the handler ------------------------------------------------------- */

typedef struct CameraAccess {
    ItemHandle cameraItem;
    int imageWidth;
    int imageHeight;
    double pixelAspect;
    double filmWidth;  /* metres */
    double filmHeight; /* metres */
} CameraAccess;

typedef struct FrameInfo {
    double frameTime;
    int frameNumber;
    double exposureStart;
    double exposureDuration;
    double framesPerSecond;
    int motionSteps;
} FrameInfo;

typedef struct CameraRay {
    double origin[3];
    double direction[3];
    double filmNormal[3];
    double filter[9]; /* 3x3, row-major */
} CameraRay;

typedef struct ProjectionMatrix {
    double m[16]; /* index = 4 x row + column */
} ProjectionMatrix;

/* Delivers up to count floats into buffer; returns how many it delivered, or -1. */
typedef int (*FloatReader)(void* readerData, float* buffer, int count);
typedef void (*FloatWriter)(void* writerData, const float* buffer, int count);

enum { STATE_ENCODING_BINARY = 0, STATE_ENCODING_TEXT = 1 };

typedef struct LoadState {
    int encoding;
    void* readerData;
    FloatReader readFloats;
} LoadState;

typedef struct SaveState {
    int encoding;
    void* writerData;
    FloatWriter writeFloats;
} SaveState;

/* ---- Module descriptor --------------------------------------------------------------------- */

typedef struct ServerTag {
    const char* text;
    uint32_t tag;
} ServerTag;

typedef struct ServerRecord {
    const char* className;
    const char* serverName;
    ActivateFunc activate;
    const ServerTag* tags;
} ServerRecord;

typedef struct ModuleDescriptor {
    uint32_t synchronisation;
    uint32_t systemVersion;
    uint32_t machineCode;
    void* (*startup)(void);
    void (*shutdown)(void* startupToken);
    const ServerRecord* servers;
} ModuleDescriptor;

#define MODULE_SYNCHRONISATION 0x04121994u
#define MODULE_SYSTEM_VERSION 3u
#define MODULE_MACHINE_CODE 0x300u
#define MODULE_DESCRIPTOR_SYMBOL "_mod_descrip"

/* ---- Camera handler server ----------------------------------------------------------------- */

#define CAMERA_HANDLER_CLASS "CameraHandler"
#define CAMERA_HANDLER_VERSION 2

typedef struct InstanceFuncs {
    void* privateData;
    /* Host thread. context is the camera item; on failure returns none and sets *error. */
    void* (*create)(void* privateData, void* context, const char** error);
    void (*destroy)(void* inst);
    const char* (*copy)(void* destination, void* source);
    const char* (*load)(void* inst, const LoadState* state);
    const char* (*save)(void* inst, const SaveState* state);
    const char* (*describe)(void* inst);
} InstanceFuncs;

typedef struct HostItemFuncs HostItemFuncs;     /* host-defined, never read by the module */
typedef struct HostRenderFuncs HostRenderFuncs; /* host-defined, never read by the module */

typedef struct CameraHandlerRecord {
    InstanceFuncs* inst;
    HostItemFuncs* item;
    HostRenderFuncs* rend;
    /* Host thread, for interactive viewports. */
    int (*preview)(void* inst, double lensX, double lensY, ProjectionMatrix* out,
                   const CameraAccess* camera);
    /* Host thread, once per frame, never while evaluations of the instance run. */
    const char* (*newFrame)(void* inst, const FrameInfo* frame, const CameraAccess* camera);
    /* Any render thread, concurrently, once per camera ray. Returns 1 when the ray was written. */
    int (*evaluate)(void* inst, double filmX, double filmY, double lensX, double lensY,
                    double timeFraction, CameraRay* ray);
    int (*flags)(void* inst);
} CameraHandlerRecord;

/* ---- Camera interface server --------------------------------------------------------------- */

#define CAMERA_INTERFACE_CLASS "CameraInterface"
#define CAMERA_INTERFACE_VERSION 4

typedef struct CameraInterfaceRecord {
    void* inst;
    PanelHandle panel;
    void (*options)(void* inst);
    const char* (*command)(void* inst, const char* command);
} CameraInterfaceRecord;

/* ---- Services -------------------------------------------------------------------------------- */

#define CHANNEL_SERVICE_NAME "LWVParmFuncs 2"
#define ITEM_INFO_SERVICE_NAME "LW Item Info 4"
#define CAMERA_INFO_SERVICE_NAME "LW Camera Info 5"
#define TIME_INFO_SERVICE_NAME "LW Time Info"
#define ENVELOPE_SERVICE_NAME "Animation Envelopes"
#define PANEL_SERVICE_NAME "LWXPanel"
#define INSTANCE_UPDATE_SERVICE_NAME "Instance Update"

/* Channel kind codes. */
enum { CHANNEL_KIND_NUMBER = 0x10, CHANNEL_KIND_PERCENT = 0x20 };

typedef struct ChannelFuncs {
    ChannelHandle (*create)(int kind, int envelopeFlags);
    void (*destroy)(ChannelHandle channel);
    void (*setup)(ChannelHandle channel, const char* name, ChannelGroupHandle group, void*, void*,
                  void*, void*);
    /* Returns an error text or none. */
    const char* (*copy)(ChannelHandle destination, ChannelHandle source);
    const char* (*load)(ChannelHandle channel, const LoadState* state);
    const char* (*save)(ChannelHandle channel, const SaveState* state);
    int (*getValue)(ChannelHandle channel, double time, void* reserved, double value[3]);
    int (*setValue)(ChannelHandle channel, const double* value);
} ChannelFuncs;

/* Item parameter codes. */
enum { ITEM_RIGHT = 2, ITEM_UP = 3, ITEM_FORWARD = 4, ITEM_WORLD_POSITION = 8 };

typedef struct ItemInfo {
    ChannelGroupHandle (*channelGroup)(ItemHandle item);
    void (*param)(ItemHandle item, int code, double time, double out[3]);
} ItemInfo;

typedef struct CameraInfo {
    double (*zoomFactor)(ItemHandle camera, double time);
    double (*focusDistance)(ItemHandle camera, double time);
    double (*fStop)(ItemHandle camera, double time);
} CameraInfo;

typedef struct TimeInfo {
    double time;
    int frame;
} TimeInfo;

typedef struct PanelControl {
    uint32_t id;
    const char* label;
    const char* controlType;
} PanelControl;

typedef struct PanelData {
    uint32_t id;
    const char* name;
    const char* dataType;
} PanelData;

typedef void* (*PanelGetFunc)(void* inst, uint32_t id);
typedef int (*PanelSetFunc)(void* inst, uint32_t id, void* value);

typedef struct PanelFuncs {
    PanelHandle (*create)(int type, const PanelControl* controls);
    void (*destroy)(PanelHandle panel);
    void (*describe)(PanelHandle panel, const PanelData* data, PanelGetFunc get, PanelSetFunc set);
    void (*hint)(PanelHandle panel, uint32_t id, const uintptr_t* hints);
    void (*viewInstance)(PanelHandle panel, void* inst);
    void (*setData)(PanelHandle panel, uint32_t id, void* data);
} PanelFuncs;

typedef int (*InstanceUpdateFunc)(const char* className, void* inst);

/* Notification callbacks and the module's shutdown function. */
typedef void (*HostCallback)(void*);

#ifdef __cplusplus
}
#endif

#endif
