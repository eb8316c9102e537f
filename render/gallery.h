// The contact sheet: one scene under a row of lens settings, each cell labelled with its setting.
#pragma once

#include <string>
#include <vector>

#include "render/image.h"
#include "render/scene.h"

namespace vantorel::render {

struct GalleryCell {
    std::string label;
    Scene scene;
};

// The settings of the sheet, each applied to base with the other lens effects off: distortion
// -1, 0, 0.5 and 1; vignetting 0, 0.5 and 1; focus near (0.42 x the scene's focus distance,
// the default scene's nearest sphere) and far (twice it); a shifted film. Each cell is rendered
// at base's image settings.
std::vector<GalleryCell> galleryCells(const Scene& base);

constexpr int kGalleryColumns = 5;

// Lays the rendered cells out in rows of columns, each with its label beneath.
Image contactSheet(const std::vector<Image>& cells, const std::vector<std::string>& labels,
                   int columns);

} // namespace vantorel::render
