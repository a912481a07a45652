// Frame benchmark: the screensaver's full-screen frame on the real OpenGL,
// split into its three costs.
//
// The program starts through the full-screen run's own start-up (startRun) --
// Display in the desktop's mode, default settings but short phases (1 s, so
// that every group takes its turns during the run), a fixed random seed, the
// scene assembled from the default content -- and then draws frames with the
// run loop's renderFrame, timing per frame through its stage calls:
//   update  texturegenCache.update(): repainting and uploading the plasma
//           textures;
//   draw    the frame's clear and camera calls plus sceneRoot->draw();
//   swap    SDL_GL_SwapBuffers().
// glFinish() ends the update and the draw stage before their clocks are read,
// so the OpenGL work they queue is counted in the stage that queued it rather
// than in the next stage that happens to wait for it.
//
// The frames run inside one Google Benchmark with a fixed iteration count (one
// iteration is one frame; the animation depends on how many frames are drawn,
// so the count is not left to the library), timed manually, with the three
// stages as per-frame counters. A summary with the median and 95th percentile
// of every stage follows, from the same frames, and the mean frame time of
// each group (nest, square, cube) over the frames that showed it.
//
//   bench_frame [--frames=N] [--warmup=N] [--phase=SECONDS] [--content=DIR/] [benchmark options]
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/RunLoop.h"
#include "app/Startup.h"
#include "display/Display.h"
#include "scene/SceneNode.h"
#include "texgen/TexturegenCache.h"

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

struct FrameTimes {
    std::vector<double> update, draw, swap, total;
    std::vector<int> group;  // the group in view: 0 nest, 1 square, 2 cube, -1 none
};

// The heads of the three groups: nest outer, square hub, cube centre. A head
// is in view when its animator holds it at the origin rather than far away.
SceneNode* groupHeads[3] = {nullptr, nullptr, nullptr};

int groupInView() {
    for (int g = 0; g < 3; ++g)
        if (groupHeads[g] != nullptr && groupHeads[g]->animator.frameTransform.position.x == 0.0) return g;
    return -1;
}

// One frame of the run loop's own renderFrame, timed by stage.
void timedFrame(FrameTimes& times) {
    Clock::time_point ends[5];
    FrameOptions options;
    options.stageEnded = [&](FrameStage stage) {
        if (stage != FrameStage::Presented) glFinish();
        ends[static_cast<int>(stage)] = Clock::now();
    };
    const Clock::time_point start = Clock::now();
    renderFrame(options);
    const Clock::time_point cameraDone = ends[static_cast<int>(FrameStage::Camera)];
    const Clock::time_point updateDone = ends[static_cast<int>(FrameStage::Textures)];
    const Clock::time_point drawDone = ends[static_cast<int>(FrameStage::Scene)];
    const Clock::time_point swapDone = ends[static_cast<int>(FrameStage::Presented)];

    times.update.push_back(msBetween(cameraDone, updateDone));
    times.draw.push_back(msBetween(start, cameraDone) + msBetween(updateDone, drawDone));
    times.swap.push_back(msBetween(drawDone, swapDone));
    times.total.push_back(msBetween(start, swapDone));
    times.group.push_back(groupInView());
}

double sum(const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return s;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5));
    return v[i];
}

void printSummary(const FrameTimes& t) {
    const size_t n = t.total.size();
    if (n == 0) return;
    std::printf("\n%zu frames, ms per frame:\n", n);
    std::printf("  %-7s %8s %8s %8s %8s\n", "stage", "mean", "median", "p95", "max");
    const struct {
        const char* name;
        const std::vector<double>* v;
    } rows[] = {{"update", &t.update}, {"draw", &t.draw}, {"swap", &t.swap}, {"total", &t.total}};
    for (const auto& r : rows) {
        std::printf("  %-7s %8.3f %8.3f %8.3f %8.3f\n", r.name, sum(*r.v) / n, percentile(*r.v, 0.5),
                    percentile(*r.v, 0.95), *std::max_element(r.v->begin(), r.v->end()));
    }
    std::printf("  %.1f frames per second\n", 1000.0 * n / sum(t.total));
    const char* const names[3] = {"nest", "square", "cube"};
    for (int g = 0; g < 3; ++g) {
        double total = 0;
        size_t count = 0;
        for (size_t i = 0; i < n; ++i) {
            if (t.group[i] != g) continue;
            total += t.total[i];
            ++count;
        }
        if (count > 0) std::printf("  %-7s %8.3f ms mean total over %zu frames\n", names[g], total / count, count);
    }
}

FrameTimes frameTimes;

void frameBenchmark(benchmark::State& state) {
    for (auto _ : state) {
        timedFrame(frameTimes);
        state.SetIterationTime(frameTimes.total.back() / 1000.0);
    }
    const double frames = static_cast<double>(frameTimes.total.size());
    if (frames > 0) {
        state.counters["update_ms"] = sum(frameTimes.update) / frames;
        state.counters["draw_ms"] = sum(frameTimes.draw) / frames;
        state.counters["swap_ms"] = sum(frameTimes.swap) / frames;
    }
}

// Takes "--name=value" out of argv (so Google Benchmark does not see it).
bool takeOption(int& argc, char** argv, const char* name, std::string& value) {
    const size_t len = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, len) == 0 && argv[i][len] == '=') {
            value = argv[i] + len + 1;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            return true;
        }
    }
    return false;
}

bool parseCount(const std::string& text, long minimum, long& count) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < minimum || v > 1000000) return false;
    count = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    long frames = 300, warmup = 20, phase = 1;
    std::string content = CALVETRIN_BENCH_CONTENT_DIR, value;
    if (takeOption(argc, argv, "--frames", value) && !parseCount(value, 1, frames)) {
        std::fprintf(stderr, "bench_frame: --frames wants a count from 1\n");
        return 2;
    }
    if (takeOption(argc, argv, "--warmup", value) && !parseCount(value, 0, warmup)) {
        std::fprintf(stderr, "bench_frame: --warmup wants a count from 0\n");
        return 2;
    }
    if (takeOption(argc, argv, "--phase", value) && !parseCount(value, 1, phase)) {
        std::fprintf(stderr, "bench_frame: --phase wants a count of seconds from 1\n");
        return 2;
    }
    if (takeOption(argc, argv, "--content", value)) content = value;
    if (content.empty() || content.back() != '/') content += '/';
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;

    // The screensaver's start-up, with the default settings and a fixed seed
    // so that every run draws the same meshes in the same group order.
    RunStart start;
    start.userSettings = false;
    start.phaseSeconds = static_cast<std::int32_t>(phase);
    start.contentDirectory = content;
    start.seed = 20240601u;
    Display display;
    ScreenRun run = startRun(start, [&](const Settings& settings) {
        display.open(settings.modeWidth(), settings.modeHeight(), settings.modeBitsPerPixel());
    });
    groupHeads[0] = run.scene->nodes()[0];
    groupHeads[1] = run.scene->nodes()[3];
    groupHeads[2] = run.scene->nodes()[8];
    std::printf("display %dx%d, %d bits; %zu procedural textures; renderer %s\n", display.getWidth(),
                display.getHeight(), display.getBitsPerPixel(), texturegenCache.generators.size(),
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    // Warm-up frames: first uploads and the driver's lazy set-up.
    FrameTimes discarded;
    for (long i = 0; i < warmup; ++i) timedFrame(discarded);

    benchmark::RegisterBenchmark("frame", frameBenchmark)
        ->Iterations(frames)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(frameTimes);

    run.scene.reset();
    return frameTimes.total.size() == static_cast<size_t>(frames) ? 0 : 1;
}
