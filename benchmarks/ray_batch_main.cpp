// Traces a given number of rays of one case, or of the floor, for counting instructions:
//   vantorel_ray_batch fast|dist|vig|both|floor RAYS
// Only traceBatch runs per ray, so a count collected inside it alone, divided by RAYS, is the
// cost of one ray including the call through the function pointer.
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ray_cases.h"

using namespace vantorel::bench;

int main(int argc, char** argv) {
    const std::string_view name = argc == 3 ? argv[1] : "";
    const bool floor = name == "floor";
    const RayCase* rayCase = floor ? &kRayCases[0] : findRayCase(name);
    const long rays = argc == 3 ? std::strtol(argv[2], nullptr, 10) : 0;
    if (!rayCase || rays <= 0) {
        std::fprintf(stderr, "usage: %s fast|dist|vig|both|floor RAYS\n", argv[0]);
        return 2;
    }
    MovingCamera camera(*rayCase);
    PinholeCamera pinhole = pinholeOf(camera.table());
    const std::vector<RayInput> inputs = makeRayInputs(static_cast<std::size_t>(rays));
    CameraRay ray{};
    if (floor) {
        traceBatch(floorEvaluate(), &pinhole, inputs, ray);
    } else {
        traceBatch(handlerEvaluate(), camera.instance(), inputs, ray);
    }
    std::printf("%s: %ld rays, last direction %.17g %.17g %.17g\n", name.data(), rays,
                ray.direction[0], ray.direction[1], ray.direction[2]);
    return 0;
}
