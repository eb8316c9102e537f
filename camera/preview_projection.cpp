#include "camera/preview_projection.h"

#include "camera/camera_instance.h"
#include "host/services.h"

namespace vantorel {

ProjectionMatrix buildProjection(const PreviewInputs& in) noexcept {
    const double w = in.filmWidth;
    const double h = in.filmHeight;
    const double n = in.zoom * h * 0.5; // focal length, taking the place of the near distance
    const double r = in.pinhole ? 0.0 : (n / in.fStop) * 0.5;
    const double ox = -(w * in.lensX) * r;
    const double oy = -(w * in.lensY) * r; // the vertical offset scales with the width as well
    const double far = kPreviewFarDistance;

    ProjectionMatrix p{};
    p.m[0] = (n + n) * 0.5;
    p.m[5] = p.m[0];
    p.m[8] = in.pinhole ? in.horizontalShift * w : in.horizontalShift * w + ox / in.focusDistance;
    p.m[9] = in.pinhole ? in.verticalShift * h : in.verticalShift * h + oy / in.focusDistance;
    p.m[10] = -((far + n) / (far - n));
    p.m[11] = -1.0;
    p.m[12] = ox;
    p.m[13] = oy;
    p.m[14] = -((n * (far + far)) / (far - n));
    return p;
}

int cameraPreview(void* inst, double lensX, double lensY, ProjectionMatrix* out,
                  const CameraAccess* camera) noexcept {
    auto* instance = static_cast<CameraInstance*>(inst);
    if (!instance || !out || !camera) {
        return 1;
    }
    const double t = currentHostTime();
    sampleParameters(*instance, t);
    const auto* cameraInfo =
        static_cast<const CameraInfo*>(lookUpService(CAMERA_INFO_SERVICE_NAME));
    instance->filmWidth = camera->filmWidth;
    instance->filmHeight = camera->filmHeight;

    PreviewInputs in{};
    in.zoom = instance->zoomFactor;
    in.horizontalShift = instance->horizontalShift;
    in.verticalShift = instance->verticalShift;
    in.filmWidth = camera->filmWidth;
    in.filmHeight = camera->filmHeight;
    in.lensX = lensX;
    in.lensY = lensY;
    in.pinhole = cameraInfo == nullptr;
    if (cameraInfo) {
        in.focusDistance = cameraInfo->focusDistance(camera->cameraItem, t);
        in.fStop = cameraInfo->fStop(camera->cameraItem, t);
    }
    *out = buildProjection(in);
    return 1;
}

} // namespace vantorel
