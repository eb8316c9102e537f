// The projection matrix of the host's interactive viewports: zoom and film shift of the camera,
// moved with the lens point, with the focal length as near distance and a fixed far distance.
// Distortion and vignetting do not show in viewports.
#pragma once

#include "host/host_interface.h"

namespace vantorel {

struct PreviewInputs {
    double zoom;
    double horizontalShift;
    double verticalShift;
    double filmWidth;
    double filmHeight;
    double lensX;
    double lensY;
    double focusDistance;
    double fStop;
    bool pinhole; // no camera information: lens radius 0 and no division by the focus distance
};

ProjectionMatrix buildProjection(const PreviewInputs& in) noexcept;

constexpr double kPreviewFarDistance = 65000.0;

} // namespace vantorel
