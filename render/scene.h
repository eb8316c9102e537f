// The renderer's scene: what is in front of the camera, how the camera moves, and how the
// picture is taken. Everything here is plain data; the tracer and the camera connection read it.
#pragma once

#include <string>
#include <vector>

#include "render/track.h"
#include "render/vec.h"

namespace vantorel::render {

struct ImageSettings {
    int width = 600;
    int height = 400;
    int samplesPerPixel = 16;
};

// Film size in metres, as the host's camera hands it to the lens.
struct FilmSettings {
    double width = 0.036;
    double height = 0.024;
};

struct AnimationSettings {
    int frames = 1;
    double framesPerSecond = 24.0;
    double shutter = 0.5; // fraction of the frame interval the exposure lasts
    int motionSteps = 0;
};

// The host camera's own animated state. Orientation is heading, pitch and bank in degrees:
// heading turns right about +y, pitch tilts the view down, bank rolls it.
struct CameraState {
    Vec3 position{0.0, 1.0, -5.0};
    Vec3 headingPitchBank{};
    double zoom = 2.0;
    double focusDistance = 5.0;
    double fStop = 4.0;
};

CameraState lerp(const CameraState& a, const CameraState& b, double t);

// Heading and pitch, in degrees and without bank, of a camera at from looking at target.
Vec3 headingPitchTowards(Vec3 from, Vec3 target);

// The camera's five own parameters, in their fixed order.
struct LensTracks {
    Track<double> zoomFactor = Track<double>::constant(2.0);
    Track<double> horizontalShift = Track<double>::constant(0.0);
    Track<double> verticalShift = Track<double>::constant(0.0);
    Track<double> distortion = Track<double>::constant(0.0);
    Track<double> vignetting = Track<double>::constant(0.0);
};

struct Texture {
    enum class Kind { Solid, Checker, Grid };
    Kind kind = Kind::Solid;
    Color base{0.7, 0.7, 0.7};
    Color accent{0.1, 0.1, 0.1}; // second checker colour, or the grid's lines
    double cellSize = 1.0;       // checker cell or grid spacing, metres
    double lineWidth = 0.02;     // grid lines, metres
};

struct SceneObject {
    enum class Shape { Sphere, Plane };
    std::string name;
    Shape shape = Shape::Sphere;
    Vec3 position{}; // sphere centre, or a point of the plane where its texture starts
    double radius = 1.0;
    Vec3 normal{0.0, 1.0, 0.0};
    Vec3 up{0.0, 0.0, 1.0}; // plane texture's v direction, projected onto the plane
    double width = 0.0;     // plane extent along its u and v axes; 0 for unbounded
    double height = 0.0;
    Vec3 velocity{}; // metres per second
    Texture texture;
};

struct Lighting {
    Vec3 sunDirection{-0.4, 0.8, -0.45}; // towards the sun
    Color sun{2.2, 2.1, 1.9};
    Color skyZenith{0.35, 0.55, 0.9};
    Color skyHorizon{0.85, 0.9, 1.0};
    bool shadows = true;
};

struct Scene {
    ImageSettings image;
    FilmSettings film;
    AnimationSettings animation;
    Track<CameraState> camera = Track<CameraState>::constant(CameraState{});
    LensTracks lens;
    Lighting lighting;
    std::vector<SceneObject> objects;
};

} // namespace vantorel::render
