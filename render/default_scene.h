// The scene rendered when no scene file is given: every effect of the lens in one picture.
#pragma once

#include "render/scene.h"

namespace vantorel::render {

// Spheres before, at and behind the focus distance, a grid chart behind them that shows
// distortion, a sphere moving across the exposure with motion blur on, vignetting and a little
// vertical film shift.
Scene defaultScene();

} // namespace vantorel::render
