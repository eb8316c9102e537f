#include "render/gallery.h"

#include <algorithm>
#include <functional>

#include "render/bitmap_font.h"

namespace vantorel::render {

namespace {

constexpr int kMargin = 6;
constexpr int kLabelScale = 2;
constexpr int kLabelHeight = kGlyphHeight * kLabelScale + 2 * kMargin;
constexpr Color kSheetColor{0.02, 0.02, 0.02};
constexpr Color kLabelColor{0.9, 0.9, 0.9};

// The base scene with the lens effects off, so that each cell shows one effect alone.
Scene plainLens(const Scene& base) {
    Scene scene = base;
    scene.lens.horizontalShift = Track<double>::constant(0.0);
    scene.lens.verticalShift = Track<double>::constant(0.0);
    scene.lens.distortion = Track<double>::constant(0.0);
    scene.lens.vignetting = Track<double>::constant(0.0);
    return scene;
}

Scene withFocus(Scene scene, double factor) {
    for (Key<CameraState>& key : scene.camera.keys) {
        key.value.focusDistance *= factor;
    }
    return scene;
}

GalleryCell cell(const std::string& label, const Scene& base,
                 const std::function<void(Scene&)>& change) {
    GalleryCell result{label, plainLens(base)};
    change(result.scene);
    return result;
}

} // namespace

std::vector<GalleryCell> galleryCells(const Scene& base) {
    struct Amount {
        const char* label;
        double value;
    };
    std::vector<GalleryCell> cells;
    for (const Amount& amount : {Amount{"distortion -1", -1.0}, Amount{"distortion 0", 0.0},
                                 Amount{"distortion 0.5", 0.5}, Amount{"distortion 1", 1.0}}) {
        cells.push_back(cell(amount.label, base, [&](Scene& scene) {
            scene.lens.distortion = Track<double>::constant(amount.value);
        }));
    }
    for (const Amount& amount : {Amount{"vignetting 0", 0.0}, Amount{"vignetting 0.5", 0.5},
                                 Amount{"vignetting 1", 1.0}}) {
        cells.push_back(cell(amount.label, base, [&](Scene& scene) {
            scene.lens.vignetting = Track<double>::constant(amount.value);
        }));
    }
    cells.push_back(cell("focus near", base, [](Scene& scene) { scene = withFocus(scene, 0.42); }));
    cells.push_back(cell("focus far", base, [](Scene& scene) { scene = withFocus(scene, 2.0); }));
    cells.push_back(cell("shifted film", base, [](Scene& scene) {
        scene.lens.horizontalShift = Track<double>::constant(0.1);
        scene.lens.verticalShift = Track<double>::constant(0.15);
    }));
    return cells;
}

Image contactSheet(const std::vector<Image>& cells, const std::vector<std::string>& labels,
                   int columns) {
    if (cells.empty()) {
        return {};
    }
    const int cellWidth = cells.front().width();
    const int cellHeight = cells.front().height();
    const int count = static_cast<int>(cells.size());
    columns = std::clamp(columns, 1, count);
    const int rows = (count + columns - 1) / columns;
    const int pitchX = cellWidth + kMargin;
    const int pitchY = cellHeight + kLabelHeight;
    Image sheet(columns * pitchX + kMargin, rows * pitchY + kMargin);
    sheet.fill(kSheetColor);
    for (int i = 0; i < count; ++i) {
        const int left = kMargin + (i % columns) * pitchX;
        const int top = kMargin + (i / columns) * pitchY;
        sheet.paste(cells[static_cast<size_t>(i)], left, top);
        const std::string& label = labels[static_cast<size_t>(i)];
        const int labelLeft = left + (cellWidth - textWidth(label, kLabelScale)) / 2;
        drawText(sheet, labelLeft, top + cellHeight + kMargin, label, kLabelScale, kLabelColor);
    }
    return sheet;
}

} // namespace vantorel::render
