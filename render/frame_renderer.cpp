#include "render/frame_renderer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "render/sampling.h"
#include "render/tracer.h"

namespace vantorel::render {

FilmPoint filmPoint(const ImageSettings& image, const FilmSettings& film, double x, double y) {
    return {(x / image.width - 0.5) * film.width, (0.5 - y / image.height) * film.height};
}

double sampleSceneTime(const FrameInfo& frame, double timeFraction) {
    const int n = 4 * frame.motionSteps;
    if (n <= 0) {
        return frame.exposureStart;
    }
    const double index = std::clamp(std::floor(timeFraction * n), 0.0, static_cast<double>(n));
    return frame.exposureStart + frame.exposureDuration * (index / n);
}

int defaultThreadCount() {
    return std::max(1u, std::thread::hardware_concurrency());
}

namespace {

constexpr double kIdentityFilter[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

Color filtered(const double filter[9], Color c) {
    return {filter[0] * c.r + filter[1] * c.g + filter[2] * c.b,
            filter[3] * c.r + filter[4] * c.g + filter[5] * c.b,
            filter[6] * c.r + filter[7] * c.g + filter[8] * c.b};
}

// What one worker needs, shared by all of them; rows are handed out from an atomic counter.
class FrameWork {
public:
    explicit FrameWork(const FrameRequest& request)
        : request_(request), scene_(*request.scene), tracer_(scene_),
          image_(scene_.image.width, scene_.image.height) {}

    void renderRows() {
        PixelSamples samples;
        uint64_t refused = 0;
        for (int y = nextRow_++; y < scene_.image.height; y = nextRow_++) {
            for (int x = 0; x < scene_.image.width; ++x) {
                image_.set(x, y, renderPixel(x, y, samples, refused));
            }
            finishRow();
        }
        refused_ += refused;
    }

    // Waits for the workers, reporting progress meanwhile.
    void awaitRows(const std::function<void(double)>& onProgress) {
        std::unique_lock lock(mutex_);
        const int height = scene_.image.height;
        while (!rowsDone_.wait_for(lock, std::chrono::milliseconds(100),
                                   [&] { return finishedRows_ == height; })) {
            if (onProgress) {
                onProgress(static_cast<double>(finishedRows_) / height);
            }
        }
        if (onProgress) {
            onProgress(1.0);
        }
    }

    FrameResult result() {
        const ImageSettings& image = scene_.image;
        const uint64_t rays = static_cast<uint64_t>(image.width) * image.height *
                              static_cast<uint64_t>(image.samplesPerPixel);
        return {std::move(image_), rays, refused_};
    }

private:
    Color renderPixel(int x, int y, PixelSamples& samples, uint64_t& refused) const {
        const int count = scene_.image.samplesPerPixel;
        RandomStream random = pixelStream(request_.seed, request_.frame.frameNumber, x, y);
        samples.generate(random, count);
        Color sum;
        for (size_t s = 0; s < static_cast<size_t>(count); ++s) {
            const FilmPoint film =
                filmPoint(scene_.image, scene_.film, x + samples.film[s].x, y + samples.film[s].y);
            CameraRay ray{};
            std::copy(std::begin(kIdentityFilter), std::end(kIdentityFilter), ray.filter);
            if (!request_.camera.evaluate(request_.camera.instance, film.x, film.y,
                                          samples.lens[s].x, samples.lens[s].y, samples.time[s],
                                          &ray)) {
                ++refused;
                continue;
            }
            const Ray traced{{ray.origin[0], ray.origin[1], ray.origin[2]},
                             {ray.direction[0], ray.direction[1], ray.direction[2]}};
            const double time = sampleSceneTime(request_.frame, samples.time[s]);
            sum = sum + filtered(ray.filter, tracer_.radiance(traced, time));
        }
        return sum * (1.0 / count);
    }

    void finishRow() {
        {
            std::lock_guard lock(mutex_);
            ++finishedRows_;
        }
        rowsDone_.notify_one();
    }

    const FrameRequest& request_;
    const Scene& scene_;
    Tracer tracer_;
    Image image_;
    std::atomic<int> nextRow_{0};
    std::atomic<uint64_t> refused_{0};
    std::mutex mutex_;
    std::condition_variable rowsDone_;
    int finishedRows_ = 0;
};

} // namespace

FrameResult renderFrame(const FrameRequest& request) {
    FrameWork work(request);
    std::vector<std::jthread> workers;
    const int threads = std::clamp(request.threads, 1, request.scene->image.height);
    for (int i = 0; i < threads; ++i) {
        workers.emplace_back([&work] { work.renderRows(); });
    }
    work.awaitRows(request.onProgress);
    workers.clear();
    return work.result();
}

} // namespace vantorel::render
