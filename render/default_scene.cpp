#include "render/default_scene.h"

namespace vantorel::render {

namespace {

SceneObject sphere(const char* name, Vec3 centre, double radius, Texture texture) {
    SceneObject object;
    object.name = name;
    object.shape = SceneObject::Shape::Sphere;
    object.position = centre;
    object.radius = radius;
    object.texture = texture;
    return object;
}

Texture checker(Color base, Color accent, double cellSize) {
    return {Texture::Kind::Checker, base, accent, cellSize, 0.0};
}

Texture solid(Color color) {
    return {Texture::Kind::Solid, color, {}, 1.0, 0.0};
}

SceneObject ground() {
    SceneObject object;
    object.name = "ground";
    object.shape = SceneObject::Shape::Plane;
    object.normal = {0.0, 1.0, 0.0};
    object.up = {0.0, 0.0, 1.0};
    object.texture = checker({0.55, 0.55, 0.5}, {0.3, 0.3, 0.28}, 0.5);
    return object;
}

SceneObject gridChart() {
    SceneObject object;
    object.name = "chart";
    object.shape = SceneObject::Shape::Plane;
    object.position = {0.0, 2.0, 3.0};
    object.normal = {0.0, 0.0, -1.0};
    object.up = {0.0, 1.0, 0.0};
    object.width = 12.0;
    object.height = 4.0;
    object.texture = {Texture::Kind::Grid, {0.85, 0.85, 0.82}, {0.04, 0.04, 0.05}, 0.5, 0.05};
    return object;
}

} // namespace

Scene defaultScene() {
    Scene scene;
    scene.image = {600, 400, 32};
    scene.film = {0.036, 0.024};
    scene.animation = {1, 24.0, 0.5, 2};

    CameraState camera;
    camera.position = {0.0, 1.0, -4.0};
    camera.headingPitchBank = headingPitchTowards(camera.position, {0.0, 0.75, 0.0});
    camera.zoom = 3.2;
    camera.focusDistance = 4.0;
    camera.fStop = 1.2;
    scene.camera = Track<CameraState>::constant(camera);

    scene.lens.zoomFactor = Track<double>::constant(3.2);
    scene.lens.verticalShift = Track<double>::constant(0.04);
    scene.lens.distortion = Track<double>::constant(0.6);
    scene.lens.vignetting = Track<double>::constant(0.9);

    SceneObject moving = sphere("moving", {0.85, 0.35, -0.9}, 0.35,
                                checker({0.95, 0.8, 0.2}, {0.15, 0.1, 0.05}, 0.12));
    moving.velocity = {2.5, 0.0, 0.0};

    scene.objects = {
        ground(),
        gridChart(),
        sphere("near", {-0.5, 0.6, -2.4}, 0.17, checker({0.2, 0.45, 0.9}, {0.9, 0.9, 0.9}, 0.07)),
        sphere("in focus", {-0.2, 0.5, 0.0}, 0.5,
               checker({0.85, 0.15, 0.1}, {0.95, 0.95, 0.9}, 0.15)),
        moving,
        sphere("far", {1.7, 0.7, 2.0}, 0.7, solid({0.2, 0.7, 0.35})),
        sphere("farther", {-1.9, 0.8, 2.3}, 0.8, checker({0.6, 0.3, 0.8}, {0.9, 0.85, 0.95}, 0.3)),
    };
    return scene;
}

} // namespace vantorel::render
