#include "render/scene_json.h"

#include <cmath>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "render/json_location.h"

namespace vantorel::render {

namespace {

using nlohmann::json;

// The text being read, for locating errors.
struct Source {
    const std::string& text;
    const std::string& name;
};

std::string formatNumber(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// A value of the document with the path that leads to it; every accessor checks type and range
// and fails with the value's location.
class Node {
public:
    Node(const Source& source, const json& value, JsonPath path)
        : source_(source), value_(value), path_(std::move(path)) {}

    [[noreturn]] void fail(const std::string& problem) const {
        throw SceneError(source_.name + ":" + std::to_string(lineOfPath(source_.text, path_)) +
                         ": " + describePath(path_) + ": " + problem);
    }

    bool has(const char* name) const { return value_.contains(name); }

    Node member(const char* name) const {
        JsonPath path = path_;
        path.emplace_back(std::string(name));
        if (!has(name)) {
            Node(source_, value_, path_).fail("missing field \"" + std::string(name) + "\"");
        }
        return Node(source_, value_.at(name), std::move(path));
    }

    std::optional<Node> optionalMember(const char* name) const {
        if (!has(name)) {
            return std::nullopt;
        }
        return member(name);
    }

    // An object whose members are all among names; a misspelt field is an error, not ignored.
    const Node& object(std::initializer_list<const char*> names) const {
        if (!value_.is_object()) {
            fail("must be an object");
        }
        for (const auto& [key, unused] : value_.items()) {
            if (std::find_if(names.begin(), names.end(),
                             [&](const char* name) { return key == name; }) == names.end()) {
                JsonPath path = path_;
                path.emplace_back(key);
                Node(source_, unused, std::move(path)).fail("unknown field");
            }
        }
        return *this;
    }

    std::vector<Node> elements() const {
        if (!value_.is_array()) {
            fail("must be an array");
        }
        std::vector<Node> nodes;
        for (std::size_t i = 0; i < value_.size(); ++i) {
            JsonPath path = path_;
            path.emplace_back(i);
            nodes.emplace_back(source_, value_[i], std::move(path));
        }
        return nodes;
    }

    bool isArray() const { return value_.is_array(); }

    double number() const {
        if (!value_.is_number()) {
            fail("must be a number");
        }
        const double value = value_.get<double>();
        if (!std::isfinite(value)) {
            fail("must be a finite number");
        }
        return value;
    }

    double numberAbove(double lowest, double highest) const {
        const double value = number();
        if (!(value > lowest)) {
            fail("must be greater than " + formatNumber(lowest) + " (got " + formatNumber(value) +
                 ")");
        }
        return atMost(value, highest);
    }

    double numberWithin(double lowest, double highest) const {
        const double value = number();
        if (value < lowest) {
            fail("must be at least " + formatNumber(lowest) + " (got " + formatNumber(value) + ")");
        }
        return atMost(value, highest);
    }

    int integer(int lowest, int highest) const {
        if (!value_.is_number_integer()) {
            fail("must be a whole number");
        }
        const auto value = value_.get<long long>();
        if (value < lowest || value > highest) {
            fail("must be between " + std::to_string(lowest) + " and " + std::to_string(highest) +
                 " (got " + std::to_string(value) + ")");
        }
        return static_cast<int>(value);
    }

    bool boolean() const {
        if (!value_.is_boolean()) {
            fail("must be true or false");
        }
        return value_.get<bool>();
    }

    std::string text() const {
        if (!value_.is_string()) {
            fail("must be a text");
        }
        return value_.get<std::string>();
    }

    Vec3 vec3() const {
        if (!value_.is_array() || value_.size() != 3) {
            fail("must be an array of three numbers");
        }
        const std::vector<Node> xyz = elements();
        return {xyz[0].number(), xyz[1].number(), xyz[2].number()};
    }

    Vec3 direction() const {
        const Vec3 value = vec3();
        if (length(value) == 0.0) {
            fail("must not be the zero vector");
        }
        return normalize(value);
    }

    Color color() const {
        if (!value_.is_array() || value_.size() != 3) {
            fail("must be an array of three numbers (red, green, blue)");
        }
        const std::vector<Node> rgb = elements();
        return {rgb[0].numberWithin(0.0, 1000.0), rgb[1].numberWithin(0.0, 1000.0),
                rgb[2].numberWithin(0.0, 1000.0)};
    }

private:
    double atMost(double value, double highest) const {
        if (value > highest) {
            fail("must be at most " + formatNumber(highest) + " (got " + formatNumber(value) + ")");
        }
        return value;
    }

    const Source& source_;
    const json& value_;
    JsonPath path_;
};

constexpr double kHuge = std::numeric_limits<double>::max();

// Keys must follow each other in time; a key that does not is named in the error.
double keyTime(const Node& key, std::optional<double> previous) {
    const double time = key.member("time").number();
    if (previous && !(time > *previous)) {
        key.member("time").fail("must be later than the previous key's time (" +
                                formatNumber(*previous) + ")");
    }
    return time;
}

void readImage(const Node& node, ImageSettings& image) {
    node.object({"width", "height", "samples"});
    if (auto n = node.optionalMember("width")) {
        image.width = n->integer(1, 16384);
    }
    if (auto n = node.optionalMember("height")) {
        image.height = n->integer(1, 16384);
    }
    if (auto n = node.optionalMember("samples")) {
        image.samplesPerPixel = n->integer(1, 4096);
    }
}

void readFilm(const Node& node, FilmSettings& film) {
    node.object({"width", "height"});
    if (auto n = node.optionalMember("width")) {
        film.width = n->numberAbove(0.0, 1.0);
    }
    if (auto n = node.optionalMember("height")) {
        film.height = n->numberAbove(0.0, 1.0);
    }
}

void readAnimation(const Node& node, AnimationSettings& animation) {
    node.object({"frames", "fps", "shutter", "motion_steps"});
    if (auto n = node.optionalMember("frames")) {
        animation.frames = n->integer(1, 100000);
    }
    if (auto n = node.optionalMember("fps")) {
        animation.framesPerSecond = n->numberAbove(0.0, 1000.0);
    }
    if (auto n = node.optionalMember("shutter")) {
        animation.shutter = n->numberAbove(0.0, 1.0);
    }
    if (auto n = node.optionalMember("motion_steps")) {
        animation.motionSteps = n->integer(0, 64);
    }
}

// A camera key gives any of the camera's values; the others carry over from the key before.
CameraState readCameraKey(const Node& key, CameraState state) {
    key.object({"time", "position", "orientation", "look_at", "zoom", "focus_distance", "f_stop"});
    if (auto n = key.optionalMember("position")) {
        state.position = n->vec3();
    }
    if (key.has("orientation") && key.has("look_at")) {
        key.member("look_at").fail("give either orientation or look_at, not both");
    }
    if (auto n = key.optionalMember("orientation")) {
        state.headingPitchBank = n->vec3();
    }
    if (auto n = key.optionalMember("look_at")) {
        const Vec3 target = n->vec3();
        if (length(target - state.position) == 0.0) {
            n->fail("must differ from the camera position");
        }
        state.headingPitchBank = headingPitchTowards(state.position, target);
    }
    if (auto n = key.optionalMember("zoom")) {
        state.zoom = n->numberAbove(0.0, 1000.0);
    }
    if (auto n = key.optionalMember("focus_distance")) {
        state.focusDistance = n->numberAbove(0.0, kHuge);
    }
    if (auto n = key.optionalMember("f_stop")) {
        state.fStop = n->numberAbove(0.0, 1000.0);
    }
    return state;
}

Track<CameraState> readCamera(const Node& node) {
    if (!node.isArray()) {
        return Track<CameraState>::constant(readCameraKey(node, CameraState{}));
    }
    Track<CameraState> track;
    CameraState state;
    for (const Node& key : node.elements()) {
        const double time =
            keyTime(key, track.keys.empty() ? std::nullopt : std::optional(track.keys.back().time));
        state = readCameraKey(key, state);
        track.keys.push_back({time, state});
    }
    if (track.keys.empty()) {
        node.fail("needs at least one key");
    }
    return track;
}

struct Range {
    double lowest, highest;
    bool exclusiveLowest;
};

double rangedValue(const Node& node, Range range) {
    return range.exclusiveLowest ? node.numberAbove(range.lowest, range.highest)
                                 : node.numberWithin(range.lowest, range.highest);
}

// A lens parameter: one number, or keys [{"time": t, "value": v}, ...].
Track<double> readParameter(const Node& node, Range range) {
    if (!node.isArray()) {
        return Track<double>::constant(rangedValue(node, range));
    }
    Track<double> track;
    for (const Node& key : node.elements()) {
        key.object({"time", "value"});
        const double time =
            keyTime(key, track.keys.empty() ? std::nullopt : std::optional(track.keys.back().time));
        track.keys.push_back({time, rangedValue(key.member("value"), range)});
    }
    if (track.keys.empty()) {
        node.fail("needs at least one key");
    }
    return track;
}

void readLens(const Node& node, LensTracks& lens) {
    node.object({"zoom_factor", "horizontal_shift", "vertical_shift", "distortion", "vignetting"});
    const struct {
        const char* name;
        Track<double> LensTracks::*track;
        Range range;
    } parameters[] = {
        {"zoom_factor", &LensTracks::zoomFactor, {0.0, 1000.0, true}},
        {"horizontal_shift", &LensTracks::horizontalShift, {-10.0, 10.0, false}},
        {"vertical_shift", &LensTracks::verticalShift, {-10.0, 10.0, false}},
        {"distortion", &LensTracks::distortion, {-1.0, 1.0, false}},
        {"vignetting", &LensTracks::vignetting, {0.0, 1.0, false}},
    };
    for (const auto& parameter : parameters) {
        if (auto n = node.optionalMember(parameter.name)) {
            lens.*parameter.track = readParameter(*n, parameter.range);
        }
    }
}

void readLighting(const Node& node, Lighting& lighting) {
    node.object({"sun_direction", "sun", "sky_zenith", "sky_horizon", "shadows"});
    if (auto n = node.optionalMember("sun_direction")) {
        lighting.sunDirection = n->direction();
    }
    if (auto n = node.optionalMember("sun")) {
        lighting.sun = n->color();
    }
    if (auto n = node.optionalMember("sky_zenith")) {
        lighting.skyZenith = n->color();
    }
    if (auto n = node.optionalMember("sky_horizon")) {
        lighting.skyHorizon = n->color();
    }
    if (auto n = node.optionalMember("shadows")) {
        lighting.shadows = n->boolean();
    }
}

Texture readTexture(const Node& node) {
    node.object({"type", "colors", "size", "spacing", "line_width"});
    Texture texture;
    const Node type = node.member("type");
    const std::string kind = type.text();
    if (kind == "solid") {
        texture.kind = Texture::Kind::Solid;
        node.object({"type", "colors"});
    } else if (kind == "checker") {
        texture.kind = Texture::Kind::Checker;
        node.object({"type", "colors", "size"});
        texture.cellSize = node.member("size").numberAbove(0.0, kHuge);
    } else if (kind == "grid") {
        texture.kind = Texture::Kind::Grid;
        node.object({"type", "colors", "spacing", "line_width"});
        texture.cellSize = node.member("spacing").numberAbove(0.0, kHuge);
        texture.lineWidth = node.member("line_width").numberAbove(0.0, texture.cellSize);
    } else {
        type.fail("must be \"solid\", \"checker\" or \"grid\" (got \"" + kind + "\")");
    }
    const Node colorList = node.member("colors");
    const std::vector<Node> colors = colorList.elements();
    const std::size_t colorCount = texture.kind == Texture::Kind::Solid ? 1 : 2;
    if (colors.size() != colorCount) {
        colorList.fail(colorCount == 1 ? "must hold one colour" : "must hold two colours");
    }
    texture.base = colors[0].color();
    if (colorCount == 2) {
        texture.accent = colors[1].color();
    }
    return texture;
}

SceneObject readSphere(const Node& node, SceneObject object) {
    node.object({"type", "name", "center", "radius", "velocity", "texture"});
    object.shape = SceneObject::Shape::Sphere;
    object.position = node.member("center").vec3();
    object.radius = node.member("radius").numberAbove(0.0, kHuge);
    return object;
}

SceneObject readPlane(const Node& node, SceneObject object) {
    node.object({"type", "name", "point", "normal", "up", "size", "velocity", "texture"});
    object.shape = SceneObject::Shape::Plane;
    object.position = node.member("point").vec3();
    object.normal = node.member("normal").direction();
    // The texture's v axis follows +y unless the plane faces up or down.
    object.up = std::abs(object.normal.y) > 0.9 ? Vec3{0.0, 0.0, 1.0} : Vec3{0.0, 1.0, 0.0};
    if (auto n = node.optionalMember("up")) {
        object.up = n->direction();
        if (length(cross(object.up, object.normal)) < 1e-6) {
            n->fail("must not be parallel to the normal");
        }
    }
    if (auto n = node.optionalMember("size")) {
        const std::vector<Node> size = n->elements();
        if (size.size() != 2) {
            n->fail("must be an array of two numbers (width, height)");
        }
        object.width = size[0].numberAbove(0.0, kHuge);
        object.height = size[1].numberAbove(0.0, kHuge);
    }
    return object;
}

SceneObject readObject(const Node& node) {
    node.object({"type", "name", "center", "radius", "point", "normal", "up", "size", "velocity",
                 "texture"});
    SceneObject object;
    if (auto n = node.optionalMember("name")) {
        object.name = n->text();
    }
    if (auto n = node.optionalMember("velocity")) {
        object.velocity = n->vec3();
    }
    if (auto n = node.optionalMember("texture")) {
        object.texture = readTexture(*n);
    }
    const Node type = node.member("type");
    const std::string shape = type.text();
    if (shape == "sphere") {
        return readSphere(node, object);
    }
    if (shape == "plane") {
        return readPlane(node, object);
    }
    type.fail("must be \"sphere\" or \"plane\" (got \"" + shape + "\")");
}

Scene readScene(const Node& root) {
    root.object({"image", "film", "animation", "camera", "lens", "lighting", "objects"});
    Scene scene;
    if (auto n = root.optionalMember("image")) {
        readImage(*n, scene.image);
    }
    if (auto n = root.optionalMember("film")) {
        readFilm(*n, scene.film);
    }
    if (auto n = root.optionalMember("animation")) {
        readAnimation(*n, scene.animation);
    }
    if (auto n = root.optionalMember("camera")) {
        scene.camera = readCamera(*n);
    }
    if (auto n = root.optionalMember("lens")) {
        readLens(*n, scene.lens);
    }
    if (auto n = root.optionalMember("lighting")) {
        readLighting(*n, scene.lighting);
    }
    if (auto n = root.optionalMember("objects")) {
        for (const Node& object : n->elements()) {
            scene.objects.push_back(readObject(object));
        }
    }
    return scene;
}

// nlohmann's message without its "[json.exception...] " prefix and, for syntax errors, without
// the "parse error at line L, column C: " that the caller states its own way.
std::string problemOf(const json::exception& error) {
    std::string message = error.what();
    const std::size_t tag = message.find("] ");
    if (tag != std::string::npos) {
        message.erase(0, tag + 2);
    }
    const std::size_t column = message.find("column");
    const std::size_t start = message.find(": ", column == std::string::npos ? 0 : column);
    if (column != std::string::npos && start != std::string::npos) {
        message.erase(0, start + 2);
    }
    return message;
}

// A number too large for a double is reported without a position; find its text instead.
std::size_t offsetOfQuotedLiteral(const std::string& text, const std::string& message) {
    const std::size_t open = message.find('\'');
    const std::size_t close = message.rfind('\'');
    if (open == std::string::npos || close <= open) {
        return 0;
    }
    const std::size_t found = text.find(message.substr(open + 1, close - open - 1));
    return found == std::string::npos ? 0 : found;
}

} // namespace

Scene parseScene(const std::string& text, const std::string& sourceName) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::parse_error& error) {
        // The error's byte is one past the offending character.
        const std::size_t offset = error.byte > 0 ? error.byte - 1 : 0;
        throw SceneError(sourceName + ":" + std::to_string(lineOfOffset(text, offset)) + ": " +
                         problemOf(error));
    } catch (const json::exception& error) {
        const std::string problem = problemOf(error);
        const std::size_t offset = offsetOfQuotedLiteral(text, problem);
        throw SceneError(sourceName + ":" + std::to_string(lineOfOffset(text, offset)) + ": " +
                         problem);
    }
    const Source source{text, sourceName};
    return readScene(Node(source, document, {}));
}

Scene loadSceneFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw SceneError(path.string() + ": cannot open the scene file");
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseScene(text.str(), path.string());
}

} // namespace vantorel::render
