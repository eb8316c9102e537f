// The scene the stand-in host shows the module: camera items animated over time, the current
// time, and the frame timing the renderer works to.
#pragma once

#include <array>
#include <string>

#include "host/host_interface.h"
#include "stand_in_host/keyed_track.h"

namespace vantorel::standin {

using Vec3 = std::array<double, 3>;

// The group that holds an item's channels.
struct ChannelGroup {
    std::string name;
};

// A camera item. Its axes are keyed as the vectors the host reports, so any length, zero
// included, can be set; between keys each component moves linearly.
struct SceneItem {
    explicit SceneItem(std::string itemName) : name(std::move(itemName)), channels{name} {}

    std::string name;
    ChannelGroup channels;

    KeyedTrack<Vec3> position{Vec3{0.0, 0.0, 0.0}};
    KeyedTrack<Vec3> right{Vec3{1.0, 0.0, 0.0}};
    KeyedTrack<Vec3> up{Vec3{0.0, 1.0, 0.0}};
    KeyedTrack<Vec3> forward{Vec3{0.0, 0.0, 1.0}};

    KeyedTrack<double> zoomFactor{3.2};
    KeyedTrack<double> focusDistance{1.0};
    KeyedTrack<double> fStop{4.0};

    // What the renderer tells the camera about its image and film.
    int imageWidth = 640;
    int imageHeight = 480;
    double pixelAspect = 1.0;
    double filmWidth = 0.036; // metres
    double filmHeight = 0.024;
};

// Unit axes of an item turned by heading (about up), then pitch (about right), then bank
// (about forward), angles in radians. Heading π/2 turns forward onto +x; positive pitch tips
// forward downwards.
struct Axes {
    Vec3 right;
    Vec3 up;
    Vec3 forward;
};
Axes axesFromHeadingPitchBank(double heading, double pitch, double bank);

// Sets the item's three axis keys at time t.
void setAxesKey(SceneItem& item, double time, const Axes& axes);

// How the renderer times frames: frame n starts at n / framesPerSecond and the shutter stays open
// for the given fraction of a frame.
struct FrameTiming {
    double framesPerSecond = 24.0;
    double shutterFraction = 0.5;
    int motionSteps = 0;
};

} // namespace vantorel::standin
