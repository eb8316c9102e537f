// Small scenes and picture measurements shared by the renderer's tests.
#pragma once

#include <vector>

#include "render/camera_connection.h"
#include "render/image.h"
#include "render/render_app.h"
#include "render/scene.h"

namespace vantorel::render::testing {

// A camera at the origin looking along +z, everything sharp unless a test opens the lens, under
// a uniform white sky (radiance 1 wherever a ray meets nothing) and no sun.
inline Scene plainScene(int width = 150, int height = 100, int samples = 16) {
    Scene scene;
    scene.image = {width, height, samples};
    scene.film = {0.036, 0.024};
    scene.animation = {1, 24.0, 0.5, 0};
    CameraState camera;
    camera.position = {0.0, 0.0, 0.0};
    camera.headingPitchBank = {0.0, 0.0, 0.0};
    camera.zoom = 2.0;
    camera.focusDistance = 5.0;
    camera.fStop = 64.0;
    scene.camera = Track<CameraState>::constant(camera);
    scene.lens.zoomFactor = Track<double>::constant(2.0);
    scene.lighting.sun = {0.0, 0.0, 0.0};
    scene.lighting.skyZenith = {1.0, 1.0, 1.0};
    scene.lighting.skyHorizon = {1.0, 1.0, 1.0};
    scene.lighting.shadows = false;
    return scene;
}

inline SceneObject blackSphere(Vec3 centre, double radius) {
    SceneObject sphere;
    sphere.shape = SceneObject::Shape::Sphere;
    sphere.position = centre;
    sphere.radius = radius;
    sphere.texture.base = {0.0, 0.0, 0.0};
    return sphere;
}

template <class Change> void changeCamera(Scene& scene, Change change) {
    for (Key<CameraState>& key : scene.camera.keys) {
        change(key.value);
    }
}

inline Image renderOnce(CameraConnection& camera, const Scene& scene, uint64_t seed = 1,
                        int threads = 2) {
    camera.stage(scene);
    return renderThroughCamera(camera, scene, 0, seed, threads).image;
}

inline Image render(const Scene& scene, uint64_t seed = 1, int threads = 2) {
    CameraConnection camera(defaultModulePath());
    return renderOnce(camera, scene, seed, threads);
}

inline std::vector<double> row(const Image& image, int y) {
    std::vector<double> values;
    for (int x = 0; x < image.width(); ++x) {
        values.push_back(luminance(image.at(x, y)));
    }
    return values;
}

inline std::vector<double> column(const Image& image, int x) {
    std::vector<double> values;
    for (int y = 0; y < image.height(); ++y) {
        values.push_back(luminance(image.at(x, y)));
    }
    return values;
}

} // namespace vantorel::render::testing
