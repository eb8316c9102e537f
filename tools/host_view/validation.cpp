#include "tools/host_view/validation.h"

#include <array>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "stand_in_host/module_loader.h"
#include "stand_in_host/number_text.h"
#include "stand_in_host/stand_in_host.h"
#include "stand_in_host/state_stream.h"
#include "tools/host_view/command_line.h"
#include "tools/host_view/module_report.h"
#include "tools/host_view/validation_support.h"

namespace vantorel::inspect {

void Check::print(std::ostream& out) const {
    const char* verdict = failed() ? "FAIL" : skipped() ? "SKIP" : "PASS";
    out << "  " << verdict << "  " << name_;
    if (skipped()) {
        out << ": " << skipReason_;
    } else if (!detail_.empty()) {
        out << ": " << detail_;
    }
    out << '\n';
    std::size_t shown = 0;
    for (const Problem& problem : problems_) {
        out << "        - " << problem.text;
        if (problem.times > 1) {
            out << " (" << problem.times << " times)";
        }
        out << '\n';
        shown += problem.times;
    }
    if (problemCount_ > shown) {
        out << "        - and " << problemCount_ - shown << " more\n";
    }
}

void Report::print(std::ostream& out, std::uint64_t seed) const {
    int passed = 0, failed = 0, skipped = 0;
    for (const Check& check : checks_) {
        check.print(out);
        (check.failed() ? failed : check.skipped() ? skipped : passed) += 1;
    }
    out << passed << " passed, " << failed << " failed, " << skipped << " skipped (seed " << seed
        << ")\n";
}

bool Report::anyFailed() const {
    for (const Check& check : checks_) {
        if (check.failed()) {
            return true;
        }
    }
    return false;
}

namespace {

using standin::LoadedModule;
using standin::numberText;
using standin::StandInHost;
using standin::StateStream;
using standin::StreamReader;

constexpr const char* kRequiredServices[] = {CHANNEL_SERVICE_NAME, ITEM_INFO_SERVICE_NAME,
                                             ENVELOPE_SERVICE_NAME, TIME_INFO_SERVICE_NAME};
constexpr int kParameterCount = 5;
constexpr const char* kChannelNames[kParameterCount] = {"ZoomFactor", "HShift", "VShift",
                                                        "Distortion", "Vignetting"};
constexpr std::uint32_t kParameterFields[kParameterCount] = {0x8001, 0x8003, 0x8004, 0x8005,
                                                             0x8006};
constexpr std::uint32_t kFocalLengthField = 0x8002;
constexpr std::size_t kInfoTextSize = 40;
constexpr double kUnwritten = 12345.0; // what a ray's filter holds until the camera writes it

// How much each check does; enough to reach rare paths, little enough for every test run.
constexpr int kInstancesCreated = 5000;
constexpr std::size_t kMostLiveInstances = 48;
constexpr int kFrames = 40;
constexpr int kMostMotionSteps = 300;
constexpr int kRaysPerFrame = 200;
constexpr int kRoundTrips = 120;
constexpr int kDamagedStates = 300;
constexpr int kOddChunkSizes[] = {1, 2, 3, 5, 7, 11, 13};

bool terminatedWithin(const char* text, std::size_t size) {
    return text && std::memchr(text, '\0', size) != nullptr;
}

std::string quotedText(const char* text) {
    if (!text) {
        return "(none)";
    }
    return terminatedWithin(text, 256) ? "\"" + std::string(text) + "\"" : "(unterminated text)";
}

// Every float a stream holds, read from its start.
std::vector<float> floatsOf(const StateStream& stream) {
    StreamReader reader(stream);
    std::vector<float> values;
    std::array<float, 64> chunk{};
    for (int got; (got = reader.read(chunk.data(), static_cast<int>(chunk.size()))) > 0;) {
        values.insert(values.end(), chunk.begin(), chunk.begin() + got);
    }
    return values;
}

bool sameValue(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

bool sameTrack(const standin::Channel& a, const standin::Channel& b) {
    const auto& keysA = a.track().keys();
    const auto& keysB = b.track().keys();
    if (!sameValue(a.track().staticValue(), b.track().staticValue()) ||
        keysA.size() != keysB.size()) {
        return false;
    }
    for (std::size_t k = 0; k < keysA.size(); ++k) {
        if (keysA[k].time != keysB[k].time || !sameValue(keysA[k].value, keysB[k].value)) {
            return false;
        }
    }
    return true;
}

standin::Vec3 scaled(const standin::Vec3& v, double s) {
    return {v[0] * s, v[1] * s, v[2] * s};
}

class Validator {
public:
    Validator(const LoadedModule& module, StandInHost& host, std::uint64_t seed)
        : module_(module), host_(host), random_(seed) {
        handler_.record().inst = functions_.get();
        handler_.record().item = reinterpret_cast<HostItemFuncs*>(itemFunctions_.get());
        handler_.record().rend = reinterpret_cast<HostRenderFuncs*>(renderFunctions_.get());
        host_.log().setRecording(false);
    }

    void run(Report& report) {
        report.add(servers());
        report.add(versions());
        report.add(missingServices());
        report.add(activation());
        report.add(instances());
        report.add(frames());
        report.add(preview());
        report.add(panel());
        report.add(roundTrips());
        report.add(damagedStates());
    }

private:
    // ---- Calls as the host makes them, every record guarded ----

    void* create(Check& check, ItemHandle item) {
        Guarded<const char*> error;
        void* instance = functions().create(functions().privateData, item, error.get());
        check.expectGuarded(error.damage(), "create's error text");
        check.expect(instance || terminatedWithin(error.record(), 256),
                     "create gave neither an instance nor an error text");
        return instance;
    }

    const char* newFrame(Check& check, void* instance, const FrameInfo& frame,
                         const CameraAccess& access) {
        Guarded<FrameInfo> guardedFrame;
        Guarded<CameraAccess> guardedAccess;
        guardedFrame.record() = frame;
        guardedAccess.record() = access;
        const auto frameBytes = guardedFrame.bytes();
        const auto accessBytes = guardedAccess.bytes();
        const char* failure = handler().newFrame(instance, guardedFrame.get(), guardedAccess.get());
        check.expectGuarded(guardedFrame.damage(), "new frame's frame record");
        check.expectGuarded(guardedAccess.damage(), "new frame's camera record");
        check.expect(guardedFrame.unchangedSince(frameBytes) &&
                         guardedAccess.unchangedSince(accessBytes),
                     "new frame changed a record it was only given to read");
        return failure;
    }

    int evaluate(Check& check, void* instance, const std::array<double, 5>& at,
                 Guarded<CameraRay>& ray) {
        const int result =
            handler().evaluate(instance, at[0], at[1], at[2], at[3], at[4], ray.get());
        check.expectGuarded(ray.damage(), "evaluate's ray");
        return result;
    }

    const char* save(Check& check, void* instance, StateStream& stream) {
        Guarded<SaveState> state;
        state.record() = stream.saveState();
        const auto bytes = state.bytes();
        const char* failure = functions().save(instance, state.get());
        check.expectGuarded(state.damage(), "save's state");
        check.expect(state.unchangedSince(bytes), "save changed its save state");
        return failure;
    }

    const char* load(Check& check, void* instance, StreamReader& reader) {
        Guarded<LoadState> state;
        state.record() = reader.loadState();
        const auto bytes = state.bytes();
        const char* failure = functions().load(instance, state.get());
        check.expectGuarded(state.damage(), "load's state");
        check.expect(state.unchangedSince(bytes), "load changed its load state");
        check.expect(!failure || terminatedWithin(failure, 256),
                     "load returned an unterminated error text");
        return failure;
    }

    // ---- Checks ----

    Check servers() {
        Check check("servers");
        for (const ServerRecord* server : module_.servers()) {
            if (!server->className || !server->serverName || !server->activate) {
                continue;
            }
            if (std::string(server->className) == CAMERA_HANDLER_CLASS && !handlerServer_) {
                handlerServer_ = server;
            }
        }
        if (!check.expect(handlerServer_ != nullptr, "no camera handler server")) {
            return check;
        }
        const auto found = module_.findServer(CAMERA_INTERFACE_CLASS, handlerServer_->serverName);
        if (check.expect(found.ok() && found.value()->activate,
                         "no camera interface server of the handler's name")) {
            interfaceServer_ = found.value();
        }
        check.note(std::string(CAMERA_HANDLER_CLASS) + " and " + CAMERA_INTERFACE_CLASS + " " +
                   quotedText(handlerServer_->serverName));
        return check;
    }

    bool serversFound(Check& check) {
        if (!handlerServer_ || !interfaceServer_) {
            check.skip("the module offers no camera servers");
            return false;
        }
        return true;
    }

    // Versions other than the one each server speaks are refused, the record left alone.
    Check versions() {
        Check check("activation refuses other versions");
        if (!serversFound(check)) {
            return check;
        }
        std::vector<int> versions = {0, 1, 3, 4, 5, -1, INT_MIN, INT_MAX};
        for (int i = 0; i < 4; ++i) {
            versions.push_back(static_cast<int>(random_.next()));
        }
        for (int version : versions) {
            if (version != CAMERA_HANDLER_VERSION) {
                const auto before = handler_.bytes();
                const auto functionsBefore = functions_.bytes();
                const int result = activateHandler(check, version);
                check.expect(result == ACTIVATE_BAD_VERSION,
                             "handler version " + std::to_string(version) + " gave " +
                                 std::to_string(result) + ", not 1");
                check.expect(handler_.unchangedSince(before) &&
                                 functions_.unchangedSince(functionsBefore),
                             "handler version " + std::to_string(version) + " changed the record");
            }
            if (version != CAMERA_INTERFACE_VERSION) {
                Guarded<CameraInterfaceRecord> record;
                const auto before = record.bytes();
                const int result = LoadedModule::activate(*interfaceServer_, version, record.get());
                check.expectGuarded(record.damage(), "interface record");
                check.expect(result == ACTIVATE_BAD_VERSION,
                             "interface version " + std::to_string(version) + " gave " +
                                 std::to_string(result) + ", not 1");
                check.expect(record.unchangedSince(before), "interface version " +
                                                                std::to_string(version) +
                                                                " changed the record");
            }
        }
        check.note(std::to_string(versions.size()) + " versions");
        return check;
    }

    Check missingServices() {
        Check check("activation without a required service");
        if (!serversFound(check)) {
            return check;
        }
        for (const char* service : kRequiredServices) {
            host_.setServiceAvailable(service, false);
            const auto before = handler_.bytes();
            const auto functionsBefore = functions_.bytes();
            const int result = activateHandler(check, CAMERA_HANDLER_VERSION);
            check.expect(result == ACTIVATE_MISSING_SERVICE,
                         std::string("without ") + service + " the handler gave " +
                             std::to_string(result) + ", not 2");
            check.expect(handler_.unchangedSince(before) && functionsBefore == functions_.bytes(),
                         std::string("without ") + service + " the record was changed");
            host_.setServiceAvailable(service, true);
        }
        host_.setServiceAvailable(PANEL_SERVICE_NAME, false);
        CameraInterfaceRecord record{};
        const int result =
            LoadedModule::activate(*interfaceServer_, CAMERA_INTERFACE_VERSION, &record);
        check.expect(result == ACTIVATE_MISSING_SERVICE,
                     "without the panel service the interface gave " + std::to_string(result));
        host_.setServiceAvailable(PANEL_SERVICE_NAME, true);
        checkHost(check);
        return check;
    }

    Check activation() {
        Check check("activation fills the handler record");
        if (!serversFound(check)) {
            return check;
        }
        const auto itemBefore = itemFunctions_.bytes();
        const auto renderBefore = renderFunctions_.bytes();
        const HostItemFuncs* item = handler_.record().item;
        const HostRenderFuncs* render = handler_.record().rend;
        const int result = activateHandler(check, CAMERA_HANDLER_VERSION);
        check.expect(result == ACTIVATE_OK, "version 2 gave " + std::to_string(result));
        const InstanceFuncs& f = functions();
        const CameraHandlerRecord& h = handler();
        check.expect(f.create && f.destroy && f.copy && f.load && f.save && f.describe,
                     "an instance function is missing");
        check.expect(h.preview && h.newFrame && h.evaluate && h.flags,
                     "a handler function is missing");
        check.expect(h.inst == functions_.get() && h.item == item && h.rend == render,
                     "the host's table pointers were changed");
        check.expectGuarded(itemFunctions_.damage(), "item functions");
        check.expectGuarded(renderFunctions_.damage(), "render functions");
        check.expect(itemFunctions_.unchangedSince(itemBefore) &&
                         renderFunctions_.unchangedSince(renderBefore),
                     "the module wrote into the host's item or render functions");
        activated_ = result == ACTIVATE_OK && !check.failed();
        checkHost(check);
        return check;
    }

    bool usable(Check& check) {
        if (!activated_) {
            check.skip("the camera handler could not be activated");
        }
        return activated_;
    }

    // Thousands of instances created and destroyed in random order, copied and described on
    // the way; afterwards the host holds no channel of theirs.
    Check instances() {
        Check check("instances created and destroyed");
        if (!usable(check)) {
            return check;
        }
        const ItemHandle item = host_.addCamera("Instances");
        const std::size_t channelsBefore = host_.channelCount();
        std::vector<void*> live;
        int created = 0;
        while (created < kInstancesCreated || !live.empty()) {
            const bool grow =
                created < kInstancesCreated &&
                (live.size() < 2 || (live.size() < kMostLiveInstances && random_.chance(0.55)));
            if (grow) {
                ++created;
                if (void* instance = create(check, item)) {
                    live.push_back(instance);
                }
                continue;
            }
            const std::size_t index = random_.below(live.size());
            if (random_.chance(0.2) && live.size() > 1) {
                void* other = live[random_.below(live.size())];
                const char* failure = functions().copy(live[index], other);
                check.expect(!failure || terminatedWithin(failure, 256),
                             "copy returned an unterminated error text");
                const char* text = functions().describe(live[index]);
                check.expect(terminatedWithin(text, 256), "describe gave no terminated text");
                check.expect(handler().flags(live[index]) == 1, "flags are not 1");
                continue;
            }
            functions().destroy(live[index]);
            live[index] = live.back();
            live.pop_back();
        }
        check.expect(host_.channelCount() == channelsBefore,
                     std::to_string(host_.channelCount() - channelsBefore) +
                         " channels left behind by destroyed instances");
        checkHost(check);
        check.note(std::to_string(created) + " instances");
        return check;
    }

    // A camera item with random, ordinary settings and a move across the exposure.
    struct Scene {
        ItemHandle item;
        standin::Vec3 start;
        standin::Vec3 end;
        standin::Vec3 forward;
    };

    standin::Vec3 randomDirection() {
        for (;;) {
            const standin::Vec3 v{random_.between(-1.0, 1.0), random_.between(-1.0, 1.0),
                                  random_.between(-1.0, 1.0)};
            const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            if (length > 0.2 && length <= 1.0) {
                return scaled(v, 1.0 / length);
            }
        }
    }

    Scene randomScene(const std::string& name, double exposureStart, double exposureEnd) {
        Scene scene{host_.addCamera(name), {}, {}, {}};
        standin::SceneItem& item = host_.item(scene.item);
        const standin::Vec3 forward = randomDirection();
        standin::Vec3 right = randomDirection();
        const double along = right[0] * forward[0] + right[1] * forward[1] + right[2] * forward[2];
        right = {right[0] - along * forward[0], right[1] - along * forward[1],
                 right[2] - along * forward[2]};
        const standin::Vec3 up = {forward[1] * right[2] - forward[2] * right[1],
                                  forward[2] * right[0] - forward[0] * right[2],
                                  forward[0] * right[1] - forward[1] * right[0]};
        scene.forward = scaled(forward, random_.logBetween(0.1, 10.0));
        item.forward.setValue(scene.forward);
        item.right.setValue(scaled(right, random_.logBetween(0.1, 10.0)));
        item.up.setValue(scaled(up, random_.logBetween(0.1, 10.0)));
        scene.start = {random_.between(-50.0, 50.0), random_.between(-50.0, 50.0),
                       random_.between(-50.0, 50.0)};
        scene.end = {scene.start[0] + random_.between(-5.0, 5.0), scene.start[1],
                     scene.start[2] + random_.between(-5.0, 5.0)};
        item.position.setKey(exposureStart, scene.start);
        item.position.setKey(exposureEnd, scene.end);
        item.focusDistance.setValue(random_.logBetween(0.2, 200.0));
        item.fStop.setValue(random_.between(1.0, 22.0));
        item.filmWidth = random_.between(0.005, 0.07);
        item.filmHeight = random_.between(0.005, 0.05);
        return scene;
    }

    standin::Channel* channelOf(ItemHandle item, int parameter) {
        return host_.findChannel(host_.channelGroupOf(item), kChannelNames[parameter]);
    }

    // Frames with random motion steps; rays from every part of the film, lens and exposure stay
    // in their record, are unit length and follow the camera's motion.
    Check frames() {
        Check check("frames and rays");
        if (!usable(check)) {
            return check;
        }
        int rays = 0;
        for (int f = 0; f < kFrames; ++f) {
            FrameInfo frame = host_.frameInfo(f);
            frame.motionSteps = random_.between(0, kMostMotionSteps);
            const Scene scene = randomScene("Frame " + std::to_string(f), frame.exposureStart,
                                            frame.exposureStart + frame.exposureDuration);
            void* instance = create(check, scene.item);
            if (!instance) {
                continue;
            }
            const double vignetting = random_.chance(0.5) ? 0.0 : random_.uniform();
            const double values[kParameterCount] = {
                random_.logBetween(0.3, 10.0), random_.between(-0.3, 0.3),
                random_.between(-0.3, 0.3), random_.between(-0.5, 1.5), vignetting};
            for (int p = 0; p < kParameterCount; ++p) {
                if (standin::Channel* channel = channelOf(scene.item, p)) {
                    channel->setValue(values[p]);
                }
            }
            const CameraAccess access = host_.cameraAccess(scene.item);
            const char* failure = newFrame(check, instance, frame, access);
            const std::string which =
                "frame with " + std::to_string(frame.motionSteps) + " motion steps";
            if (check.expect(!failure, which + " refused: " + quotedText(failure))) {
                for (int r = 0; r < kRaysPerFrame; ++r, ++rays) {
                    checkRay(check, instance, scene, frame, access, vignetting, r, which);
                }
            }
            checkFrameRefused(check, instance, access);
            functions().destroy(instance);
        }
        checkHost(check);
        check.note(std::to_string(kFrames) + " frames, " + std::to_string(rays) + " rays");
        return check;
    }

    void checkRay(Check& check, void* instance, const Scene& scene, const FrameInfo& frame,
                  const CameraAccess& access, double vignetting, int r, const std::string& which) {
        // The first two rays go through the lens centre at the exposure's ends.
        const bool atEnd = r < 2;
        const std::array<double, 5> at = {random_.between(-0.5, 0.5) * access.filmWidth,
                                          random_.between(-0.5, 0.5) * access.filmHeight,
                                          atEnd ? 0.0 : random_.between(-0.7, 0.7),
                                          atEnd ? 0.0 : random_.between(-0.7, 0.7),
                                          atEnd ? static_cast<double>(r) : random_.uniform()};
        Guarded<CameraRay> ray;
        for (double& entry : ray.record().filter) {
            entry = kUnwritten;
        }
        if (!check.expect(evaluate(check, instance, at, ray) == 1,
                          which + ": evaluation gave no ray")) {
            return;
        }
        const CameraRay& written = ray.record();
        const double length = std::sqrt(written.direction[0] * written.direction[0] +
                                        written.direction[1] * written.direction[1] +
                                        written.direction[2] * written.direction[2]);
        check.expect(std::fabs(length - 1.0) < 1e-9,
                     which + ": direction of length " + numberText(length));
        for (int c = 0; c < 3; ++c) {
            check.expect(written.filmNormal[c] == scene.forward[c],
                         which + ": film normal is not the camera's forward axis");
            if (atEnd) {
                // Without motion steps the one sample is at the exposure's start.
                const bool atStart = r == 0 || frame.motionSteps == 0;
                const double expected = atStart ? scene.start[c] : scene.end[c];
                check.expect(std::fabs(written.origin[c] - expected) <=
                                 1e-9 * (1.0 + std::fabs(expected)),
                             which + ": ray at time fraction " + std::to_string(r) +
                                 " does not start where the camera is then");
            }
        }
        for (int c = 0; c < 9; ++c) {
            const double entry = written.filter[c];
            if (vignetting <= 0.0) {
                check.expect(entry == kUnwritten, which + ": filter written without vignetting");
            } else if (c % 4 == 0) {
                check.expect(entry > 0.0 && entry <= 1.0,
                             which + ": vignetting filter " + numberText(entry) + " outside 0..1");
            } else {
                check.expect(entry == 0.0, which + ": vignetting filter off its diagonal");
            }
        }
    }

    // A frame the camera cannot sample leaves no table: rays are refused and not written.
    void checkFrameRefused(Check& check, void* instance, const CameraAccess& access) {
        FrameInfo frame = host_.frameInfo(0);
        frame.motionSteps = -random_.between(1, 1000);
        const char* failure = newFrame(check, instance, frame, access);
        check.expect(terminatedWithin(failure, 256), "negative motion steps gave no error text");
        Guarded<CameraRay> ray;
        const auto before = ray.bytes();
        check.expect(evaluate(check, instance, {0.0, 0.0, 0.0, 0.0, 0.5}, ray) == 0,
                     "a ray came from a frame that was refused");
        check.expect(ray.unchangedSince(before), "a refused ray was written");
    }

    Check preview() {
        Check check("viewport projection");
        if (!usable(check)) {
            return check;
        }
        for (int i = 0; i < 50; ++i) {
            const Scene scene = randomScene("Preview " + std::to_string(i), 0.0, 1.0);
            void* instance = create(check, scene.item);
            if (!instance) {
                continue;
            }
            host_.setTime(random_.between(0.0, 1.0), 0);
            Guarded<ProjectionMatrix> matrix;
            Guarded<CameraAccess> access;
            access.record() = host_.cameraAccess(scene.item);
            const auto accessBefore = access.bytes();
            const int result =
                handler().preview(instance, random_.between(-1.0, 1.0), random_.between(-1.0, 1.0),
                                  matrix.get(), access.get());
            check.expectGuarded(matrix.damage(), "preview's matrix");
            check.expectGuarded(access.damage(), "preview's camera record");
            check.expect(access.unchangedSince(accessBefore), "preview changed its camera record");
            check.expect(result == 1, "preview gave " + std::to_string(result));
            const double* m = matrix.record().m;
            bool finite = true;
            for (int k = 0; k < 16; ++k) {
                finite = finite && std::isfinite(m[k]);
            }
            check.expect(finite, "preview of an ordinary camera is not finite");
            check.expect(m[11] == -1.0 && m[15] == 0.0 && m[0] == m[5] && m[0] > 0.0,
                         "preview is not a perspective projection");
            functions().destroy(instance);
        }
        checkHost(check);
        return check;
    }

    Check panel() {
        Check check("panel");
        if (!usable(check)) {
            return check;
        }
        const ItemHandle item = host_.addCamera("Panel");
        void* instance = create(check, item);
        if (!instance) {
            check.skip("no instance to show");
            return check;
        }
        Guarded<CameraInterfaceRecord> record;
        record.record().inst = instance;
        const int result =
            LoadedModule::activate(*interfaceServer_, CAMERA_INTERFACE_VERSION, record.get());
        check.expectGuarded(record.damage(), "interface record");
        check.expect(result == ACTIVATE_OK, "interface activation gave " + std::to_string(result));
        panel_ = host_.panel(record.record().panel);
        if (check.expect(panel_ && panel_->get && panel_->set, "no panel with callbacks")) {
            checkPanelFields(check, instance, item);
        }
        functions().destroy(instance);
        if (panel_ && !(panel_->get && panel_->set)) {
            panel_ = nullptr;
        }
        checkHost(check);
        return check;
    }

    void checkPanelFields(Check& check, void* instance, ItemHandle item) {
        for (int p = 0; p < kParameterCount; ++p) {
            const auto channel =
                static_cast<ChannelHandle>(panel_->get(instance, kParameterFields[p]));
            const standin::Channel* shown = host_.channel(channel);
            check.expect(shown && shown->name() == kChannelNames[p] &&
                             shown->group() == host_.channelGroupOf(item),
                         std::string("field of ") + kChannelNames[p] + " shows another channel");
            const std::size_t updates = host_.instanceUpdates().size();
            double value = random_.between(-1.0, 1.0);
            check.expect(panel_->set(instance, kParameterFields[p], &value) == 1,
                         std::string("setting ") + kChannelNames[p] + " was refused");
            check.expect(host_.instanceUpdates().size() == updates + 1,
                         std::string("setting ") + kChannelNames[p] + " sent no update");
        }
        const char* line = static_cast<const char*>(panel_->get(instance, kFocalLengthField));
        check.expect(terminatedWithin(line, kInfoTextSize),
                     "focal-length line missing or longer than its buffer");
        for (std::uint32_t id : {kFocalLengthField, 0u, 0x8007u, 0xFFFFFFFFu}) {
            double value = 1.0;
            check.expect(panel_->set(instance, id, &value) == 0,
                         "setting field " + std::to_string(id) + " was accepted");
        }
        for (std::uint32_t id : {0u, 0x8007u, 0xFFFFFFFFu}) {
            check.expect(panel_->get(instance, id) == nullptr,
                         "unknown field " + std::to_string(id) + " shows a value");
        }
    }

    // A value of single precision, so that a channel, which the host stores as floats, comes
    // back exactly.
    double randomStoredValue() {
        const double magnitude =
            random_.chance(0.2) ? random_.logBetween(1e-30, 1e30) : random_.between(0.0, 100.0);
        return static_cast<float>(random_.chance(0.5) ? -magnitude : magnitude);
    }

    // A random double, the camera's cached values are kept to single precision.
    double randomCachedValue() {
        if (random_.chance(0.1)) {
            const double awkward[] = {0.0, -0.0, 0.1, 1e-45, 1e-300, 3.4e38};
            return awkward[random_.below(std::size(awkward))];
        }
        return random_.between(-1000.0, 1000.0);
    }

    void randomiseChannels(ItemHandle item) {
        for (int p = 0; p < kParameterCount; ++p) {
            standin::Channel* channel = channelOf(item, p);
            if (!channel) {
                continue;
            }
            channel->clearKeys();
            channel->setValue(randomStoredValue());
            for (int k = random_.between(0, 5); k > 0; --k) {
                channel->setKey(static_cast<float>(random_.between(-10.0, 10.0)),
                                randomStoredValue());
            }
        }
    }

    // Random channels and cached values saved, loaded into another camera and saved again: the
    // channels come back exactly, the cached values to single precision, and stored state read
    // back in chunks of odd sizes loads the same.
    Check roundTrips() {
        Check check("save and load round trips");
        if (!usable(check)) {
            return check;
        }
        if (!panel_) {
            check.skip("no panel to set cached values through");
            return check;
        }
        int chunked = 0;
        for (int i = 0; i < kRoundTrips; ++i) {
            const ItemHandle from = host_.addCamera("Saved " + std::to_string(i));
            const ItemHandle to = host_.addCamera("Loaded " + std::to_string(i));
            void* saved = create(check, from);
            void* loaded = create(check, to);
            if (saved && loaded) {
                chunked += roundTrip(check, saved, from, loaded, to);
            }
            for (void* instance : {saved, loaded}) {
                if (instance) {
                    functions().destroy(instance);
                }
            }
        }
        checkHost(check);
        check.note(std::to_string(kRoundTrips) + " round trips, " + std::to_string(chunked) +
                   " chunked reads");
        return check;
    }

    int roundTrip(Check& check, void* saved, ItemHandle from, void* loaded, ItemHandle to) {
        randomiseChannels(from);
        float expected[kParameterCount];
        for (int p = 0; p < kParameterCount; ++p) {
            double value = randomCachedValue();
            panel_->set(saved, kParameterFields[p], &value);
            expected[p] = static_cast<float>(value);
        }
        StateStream stream(random_.chance(0.5) ? STATE_ENCODING_TEXT : STATE_ENCODING_BINARY);
        const char* failure = save(check, saved, stream);
        if (!check.expect(!failure, "save failed: " + quotedText(failure))) {
            return 0;
        }
        const std::vector<float> stored = floatsOf(stream);
        bool cachedStored = stored.size() >= kParameterCount;
        for (int p = 0; cachedStored && p < kParameterCount; ++p) {
            const float value = stored[stored.size() - kParameterCount + p];
            cachedStored = std::memcmp(&value, &expected[p], sizeof value) == 0;
        }
        check.expect(cachedStored, "the cached values were not stored to single precision");

        StreamReader reader(stream);
        failure = load(check, loaded, reader);
        if (!check.expect(!failure, "load of a save failed: " + quotedText(failure))) {
            return 0;
        }
        check.expect(reader.atEnd(), "load left stored data unread");
        for (int p = 0; p < kParameterCount; ++p) {
            const standin::Channel* a = channelOf(from, p);
            const standin::Channel* b = channelOf(to, p);
            check.expect(a && b && sameTrack(*a, *b),
                         std::string("channel ") + kChannelNames[p] + " changed in a round trip");
        }
        StateStream again(stream.encoding());
        failure = save(check, loaded, again);
        check.expect(!failure && again.bytes() == stream.bytes(),
                     "a loaded camera saves differently from the one saved");

        if (!random_.chance(0.25)) {
            return 0;
        }
        for (int chunk : kOddChunkSizes) {
            StreamReader chunkedReader(stream);
            chunkedReader.deliverAtMost(chunk);
            failure = load(check, loaded, chunkedReader);
            StateStream third(stream.encoding());
            check.expect(!failure && !save(check, loaded, third) && third.bytes() == stream.bytes(),
                         "stored state read " + std::to_string(chunk) +
                             " values at a time loads differently");
        }
        return static_cast<int>(std::size(kOddChunkSizes));
    }

    // Truncated, overwritten and random stored state, and readers that fail part way: the load
    // gives none or an error text, and the camera still works afterwards.
    Check damagedStates() {
        Check check("damaged stored state");
        if (!usable(check)) {
            return check;
        }
        const ItemHandle item = host_.addCamera("Damaged");
        void* source = create(check, item);
        if (!source) {
            return check;
        }
        int refused = 0;
        for (int i = 0; i < kDamagedStates; ++i) {
            randomiseChannels(item);
            StateStream stream(random_.chance(0.5) ? STATE_ENCODING_TEXT : STATE_ENCODING_BINARY);
            save(check, source, stream);
            damage(stream);
            void* instance = create(check, item);
            if (!instance) {
                continue;
            }
            StreamReader reader(stream);
            if (random_.chance(0.3)) {
                reader.failAfter(random_.between(0, 30));
            }
            if (random_.chance(0.3)) {
                reader.deliverAtMost(random_.between(1, 4));
            }
            refused += load(check, instance, reader) ? 1 : 0;
            FrameInfo frame = host_.frameInfo(0);
            frame.motionSteps = 1;
            const CameraAccess access = host_.cameraAccess(item);
            Guarded<CameraRay> ray;
            check.expect(!newFrame(check, instance, frame, access) &&
                             evaluate(check, instance, {0.0, 0.0, 0.1, 0.1, 0.5}, ray) == 1,
                         "the camera cannot render after a damaged load");
            StateStream resaved;
            check.expect(!save(check, instance, resaved),
                         "the camera cannot save after a damaged load");
            functions().destroy(instance);
        }
        functions().destroy(source);
        checkHost(check);
        check.note(std::to_string(kDamagedStates) + " damaged states, " + std::to_string(refused) +
                   " refused with an error text");
        return check;
    }

    void damage(StateStream& stream) {
        const std::size_t size = stream.bytes().size();
        switch (random_.below(3)) {
        case 0:
            stream.truncate(random_.below(size + 1));
            break;
        case 1:
            for (int n = random_.between(1, 4); n > 0 && size > 0; --n) {
                std::string bytes(static_cast<std::size_t>(random_.between(1, 4)), '\0');
                for (char& byte : bytes) {
                    byte = static_cast<char>(random_.below(256));
                }
                stream.overwrite(random_.below(size), bytes);
            }
            break;
        default: {
            std::string bytes(random_.below(200), '\0');
            for (char& byte : bytes) {
                byte = static_cast<char>(random_.below(256));
            }
            stream.setBytes(bytes);
            break;
        }
        }
    }

    // ---- Helpers ----

    int activateHandler(Check& check, int version) {
        const int result = LoadedModule::activate(*handlerServer_, version, handler_.get());
        check.expectGuarded(handler_.damage(), "handler record");
        check.expectGuarded(functions_.damage(), "instance functions");
        return result;
    }

    // Misuse the host noticed during the check: unknown handles, unended tables.
    void checkHost(Check& check) {
        for (const std::string& fault : host_.log().faults()) {
            check.expect(false, "host: " + fault);
        }
        host_.log().clear();
    }

    InstanceFuncs& functions() { return functions_.record(); }
    CameraHandlerRecord& handler() { return handler_.record(); }

    const LoadedModule& module_;
    StandInHost& host_;
    Random random_;
    const ServerRecord* handlerServer_ = nullptr;
    const ServerRecord* interfaceServer_ = nullptr;
    Guarded<InstanceFuncs> functions_;
    Guarded<CameraHandlerRecord> handler_;
    Guarded<std::array<unsigned char, 64>> itemFunctions_;
    Guarded<std::array<unsigned char, 64>> renderFunctions_;
    bool activated_ = false;
    standin::Panel* panel_ = nullptr;
};

} // namespace

int validateModule(const std::filesystem::path& file, std::uint64_t seed, std::ostream& out,
                   std::ostream& err) {
    StandInHost host;
    auto opened = openModuleReporting(file, err);
    if (!opened) {
        return exitCodeFor(opened.failure().error);
    }
    out << "Validating " << file.string() << " with seed " << seed << '\n';
    Report report;
    Validator(opened.value(), host, seed).run(report);
    report.print(out, seed);
    return report.anyFailed() ? kExitValidationFailed : kExitOk;
}

} // namespace vantorel::inspect
