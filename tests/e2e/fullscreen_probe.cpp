// Pixel checks for the full-screen end-to-end tests.
//
//   fullscreen_probe stats FILE.png
//       Prints key=value lines about a screenshot: size, the share of lit
//       (non-black) pixels, how many distinct colours the lit pixels show,
//       the centroid of the lit pixels and the lit shares of the centre disk
//       and of the ring around it (see Layout below).
//   fullscreen_probe wait-lit SECONDS
//       Grabs the root window of $DISPLAY until some pixels are lit; exit 0
//       then, 1 when SECONDS pass without any.
//   fullscreen_probe phases SECONDS OUTDIR
//       Grabs the screen's centre every ~100 ms for SECONDS, sorts every grab
//       into one of the three phase groups of the cube test archive (or
//       "none"/"unclear"), writes the samples to OUTDIR/phases.log and the
//       first grab of every run as OUTDIR/run-NN-<group>.ppm, and checks that
//       the groups take turns of 1000 ms in a repeating order with a 3000 ms
//       cycle. Exit 0 when they do, 1 (with the reasons) when not.
//   fullscreen_probe check-log OUTDIR/phases.log
//       The same turn check on a log written earlier.
//   fullscreen_probe extent SECONDS OUT.ppm
//       Grabs the root window of $DISPLAY every ~50 ms for SECONDS and prints
//       the bounding box of every pixel lit in any grab, as fractions of the
//       screen's width and height (left, top, right, bottom, centre_x,
//       centre_y, width, height); writes those pixels, white on black, to
//       OUT.ppm. Exit 1 when no pixel was lit.
//   fullscreen_probe look SECONDS PHASE_SECONDS OUTDIR
//       The look of each phase group of the default content. Grabs the whole
//       screen every ~100 ms for SECONDS, finds a complete turn of the square
//       (the one group that leaves the screen's centre black) and so the
//       turns of the other two groups, the one before and the one after it.
//       For each of the three it prints, over the grabs of the middle half of
//       its turn, the bounding box of everything lit in any of them (height
//       and centre as fractions of the screen) and the median number of
//       distinct colours of a grab; writes the middle grab of each turn as
//       OUTDIR/look-<turn>.ppm and every grab's figures to OUTDIR/look.log.
//       Exit 1 (with the reason) when no complete turn of the square was
//       seen.
//
// The grabs for the phase check are taken directly with XGetImage rather than
// through an external screenshot program so that every sample carries a
// timestamp taken right before the grab, which the turn timing relies on.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // 3 bytes per pixel, rows top to bottom
    double screenHeight = 0;   // of the screen it was taken from (it may be a central part)

    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// A pixel counts as lit when any channel clearly rises above the black clear
// colour.
constexpr int kLitThreshold = 16;
bool lit(const uint8_t* p) { return p[0] > kLitThreshold || p[1] > kLitThreshold || p[2] > kLitThreshold; }

// Layout of the scene on the screen: the groups are centred 90 units in front
// of the eye under a 45 degree vertical field of view, so one unit at that
// depth covers height / (2 * 90 * tan 22.5 deg) pixels (10.3 at 768 lines).
double pixelsPerUnit(double screenHeight) {
    const double pi = std::acos(-1.0);
    return screenHeight / (2.0 * 90.0 * std::tan(22.5 * pi / 180.0));
}
// The square's corner shapes reach at most 21 units out from the centre along
// each axis; the phase check grabs only the central part that holds them.
constexpr double kGroupExtentUnits = 21.0;
// The centre disk lies inside the smallest central shape (the cube centre,
// half-size 3.4 units); the ring lies inside the nest's outer shape (half-size
// 9 units) and outside the cube centre's corners (at most 5.9 units out).
constexpr double kCentreRadiusUnits = 2.0;
constexpr double kRingRadiusUnits = 7.5;

struct Stats {
    double litShare = 0;
    int colours = 0;
    double centroidX = 0.5, centroidY = 0.5;  // as fractions of width and height
    double centreLit = 0, ringLit = 0;
    int quadrantsLit = 0;  // quadrants holding lit pixels beyond the ring
};

Stats measure(const Image& image) {
    Stats s;
    const double cx = image.width / 2.0, cy = image.height / 2.0;
    const double ppu = pixelsPerUnit(image.screenHeight > 0 ? image.screenHeight : image.height);
    const double centreR = kCentreRadiusUnits * ppu, outerR = (kRingRadiusUnits + 1.0) * ppu;
    long litCount = 0, centreCount = 0, centreLitCount = 0;
    double sumX = 0, sumY = 0;
    long quadrant[4] = {0, 0, 0, 0};
    // Colours quantised to 5 bits per channel; a colour counts when it covers
    // enough pixels not to be an edge blend.
    std::vector<int> colourCount(1 << 15, 0);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            const bool on = lit(p);
            if (r <= centreR) {
                ++centreCount;
                if (on) ++centreLitCount;
            }
            if (!on) continue;
            ++litCount;
            sumX += x;
            sumY += y;
            ++colourCount[((p[0] >> 3) << 10) | ((p[1] >> 3) << 5) | (p[2] >> 3)];
            if (r > outerR) ++quadrant[(dx < 0 ? 0 : 1) + (dy < 0 ? 0 : 2)];
        }
    }
    const long total = static_cast<long>(image.width) * image.height;
    s.litShare = total > 0 ? static_cast<double>(litCount) / total : 0.0;
    if (litCount > 0) {
        s.centroidX = sumX / litCount / image.width;
        s.centroidY = sumY / litCount / image.height;
    }
    const long minPixels = std::max<long>(20, litCount / 2000);
    for (int c : colourCount)
        if (c >= minPixels) ++s.colours;
    s.centreLit = centreCount > 0 ? static_cast<double>(centreLitCount) / centreCount : 0.0;
    const int ringSamples = 720;
    int ringLitCount = 0;
    const double pi = std::acos(-1.0);
    for (int i = 0; i < ringSamples; ++i) {
        const double a = 2.0 * pi * i / ringSamples;
        const int x = static_cast<int>(std::lround(cx + kRingRadiusUnits * ppu * std::cos(a)));
        const int y = static_cast<int>(std::lround(cy + kRingRadiusUnits * ppu * std::sin(a)));
        if (x >= 0 && y >= 0 && x < image.width && y < image.height && lit(image.at(x, y))) ++ringLitCount;
    }
    s.ringLit = static_cast<double>(ringLitCount) / ringSamples;
    for (long q : quadrant)
        if (q >= 50) ++s.quadrantsLit;
    return s;
}

// The three phase groups of the cube test archive, told apart by the centre
// disk and the ring: the nest covers both, the cube covers the centre and at
// most the few corner shapes that cross the ring, the square leaves both
// black and shows its four corners beyond the ring.
std::string classify(const Stats& s) {
    if (s.litShare < 0.0005) return "none";
    if (s.centreLit >= 0.9 && s.ringLit >= 0.9) return "nest";
    if (s.centreLit >= 0.9 && s.ringLit <= 0.6) return "cube";
    if (s.centreLit <= 0.05 && s.ringLit <= 0.05 && s.quadrantsLit == 4) return "square";
    return "unclear";
}

bool readPng(const char* path, Image& image) {
    int n = 0;
    unsigned char* data = stbi_load(path, &image.width, &image.height, &n, 3);
    if (data == nullptr) {
        std::fprintf(stderr, "fullscreen_probe: cannot read %s: %s\n", path, stbi_failure_reason());
        return false;
    }
    image.rgb.assign(data, data + static_cast<size_t>(image.width) * image.height * 3);
    stbi_image_free(data);
    return true;
}

// Channel shift of a visual's colour mask, for decoding grabbed pixels.
int maskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Grabs the root window, or only its central part reaching `extentUnits` out
// from the centre when that is positive (a smaller grab is quicker).
bool grabRoot(Display* display, Image& image, double extentUnits) {
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes)) return false;
    int x = 0, y = 0, w = attributes.width, h = attributes.height;
    if (extentUnits > 0) {
        const int half = static_cast<int>(std::ceil(extentUnits * pixelsPerUnit(attributes.height)));
        w = std::min(w, 2 * half);
        h = std::min(h, 2 * half);
        x = (attributes.width - w) / 2;
        y = (attributes.height - h) / 2;
    }
    XImage* grab = XGetImage(display, root, x, y, w, h, AllPlanes, ZPixmap);
    if (grab == nullptr) return false;
    image.width = grab->width;
    image.height = grab->height;
    image.screenHeight = attributes.height;
    image.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    const int rs = maskShift(grab->red_mask), gs = maskShift(grab->green_mask), bs = maskShift(grab->blue_mask);
    const bool fast = grab->bits_per_pixel == 32 && grab->red_mask == 0xff0000 && grab->green_mask == 0xff00 &&
                      grab->blue_mask == 0xff && grab->byte_order == LSBFirst;
    for (int y = 0; y < image.height; ++y) {
        uint8_t* out = &image.rgb[static_cast<size_t>(y) * image.width * 3];
        const auto* row = reinterpret_cast<const uint8_t*>(grab->data + static_cast<size_t>(y) * grab->bytes_per_line);
        for (int x = 0; x < image.width; ++x) {
            if (fast) {
                out[3 * x] = row[4 * x + 2];
                out[3 * x + 1] = row[4 * x + 1];
                out[3 * x + 2] = row[4 * x];
            } else {
                const unsigned long v = XGetPixel(grab, x, y);
                out[3 * x] = static_cast<uint8_t>((v & grab->red_mask) >> rs);
                out[3 * x + 1] = static_cast<uint8_t>((v & grab->green_mask) >> gs);
                out[3 * x + 2] = static_cast<uint8_t>((v & grab->blue_mask) >> bs);
            }
        }
    }
    XDestroyImage(grab);
    return true;
}

bool writePpm(const std::string& path, const Image& image) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    const bool ok = std::fwrite(image.rgb.data(), 1, image.rgb.size(), f) == image.rgb.size();
    return std::fclose(f) == 0 && ok;
}

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

Display* openDisplay() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) std::fprintf(stderr, "fullscreen_probe: cannot open display\n");
    return display;
}

int runStats(const char* path) {
    Image image;
    if (!readPng(path, image)) return 2;
    const Stats s = measure(image);
    std::printf("size=%dx%d\nlit_share=%.5f\ncolours=%d\ncentroid_x=%.4f\ncentroid_y=%.4f\n", image.width,
                image.height, s.litShare, s.colours, s.centroidX, s.centroidY);
    std::printf("centre_lit=%.4f\nring_lit=%.4f\nquadrants_lit=%d\nclass=%s\n", s.centreLit, s.ringLit,
                s.quadrantsLit, classify(s).c_str());
    return 0;
}

int runWaitLit(double seconds) {
    Display* display = openDisplay();
    if (display == nullptr) return 2;
    const double start = nowMs();
    Image image;
    int result = 1;
    while (nowMs() - start < seconds * 1000.0) {
        if (grabRoot(display, image, 0.0) && measure(image).litShare > 0.0005) {
            result = 0;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("waited_ms=%.0f\n", nowMs() - start);
    XCloseDisplay(display);
    return result;
}

struct Sample {
    double t;
    std::string group;
};

struct Run {
    std::string group;
    double first, last;
    int samples;
};

// Checks the sampled sequence; returns the list of problems (empty when the
// groups take 1000 ms turns in a repeating order of three).
std::vector<std::string> checkTurns(const std::vector<Sample>& samples) {
    std::vector<std::string> problems;
    char text[256];
    std::vector<Run> runs;
    int unclear = 0;
    for (const Sample& s : samples) {
        if (s.group == "none" || s.group == "unclear") {
            ++unclear;
            continue;
        }
        if (runs.empty() || runs.back().group != s.group)
            runs.push_back({s.group, s.t, s.t, 1});
        else {
            runs.back().last = s.t;
            ++runs.back().samples;
        }
    }
    if (unclear * 10 > static_cast<int>(samples.size())) {
        std::snprintf(text, sizeof text, "%d of %zu samples show no group clearly", unclear, samples.size());
        problems.push_back(text);
    }
    std::set<std::string> seen;
    for (const Run& r : runs) seen.insert(r.group);
    for (const char* g : {"nest", "square", "cube"})
        if (seen.count(g) == 0) problems.push_back(std::string("group never seen: ") + g);
    if (runs.size() < 6) {
        std::snprintf(text, sizeof text, "only %zu runs of one group; need at least 6 (two cycles)", runs.size());
        problems.push_back(text);
        return problems;
    }
    // The order repeats with three distinct groups.
    for (size_t i = 0; i + 2 < runs.size(); ++i) {
        if (runs[i].group == runs[i + 2].group) {
            std::snprintf(text, sizeof text, "runs %zu and %zu both show %s: not three groups in turn", i, i + 2,
                          runs[i].group.c_str());
            problems.push_back(text);
        }
        if (i + 3 < runs.size() && runs[i].group != runs[i + 3].group) {
            std::snprintf(text, sizeof text, "run %zu shows %s but run %zu shows %s: order does not repeat", i,
                          runs[i].group.c_str(), i + 3, runs[i + 3].group.c_str());
            problems.push_back(text);
        }
    }
    // Turn boundaries: midway between the last sample of one run and the
    // first of the next, known to within half that gap.
    std::vector<double> boundary, slack;
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
        boundary.push_back((runs[i].last + runs[i + 1].first) / 2.0);
        slack.push_back((runs[i + 1].first - runs[i].last) / 2.0);
        if (slack.back() > 250.0) {
            std::snprintf(text, sizeof text, "gap of %.0f ms between samples at a turn change: sampling too sparse",
                          2.0 * slack.back());
            problems.push_back(text);
        }
    }
    // Frame times and scheduling delays shift where a change is seen.
    const double jitter = 300.0;
    for (size_t k = 0; k + 1 < boundary.size(); ++k) {
        const double turn = boundary[k + 1] - boundary[k];
        if (std::fabs(turn - 1000.0) > jitter + slack[k] + slack[k + 1]) {
            std::snprintf(text, sizeof text, "turn of %s lasted %.0f ms, expected 1000", runs[k + 1].group.c_str(),
                          turn);
            problems.push_back(text);
        }
    }
    for (size_t k = 0; k + 3 < boundary.size(); ++k) {
        const double cycle = boundary[k + 3] - boundary[k];
        if (std::fabs(cycle - 3000.0) > jitter + slack[k] + slack[k + 3]) {
            std::snprintf(text, sizeof text, "cycle from change %zu lasted %.0f ms, expected 3000", k, cycle);
            problems.push_back(text);
        }
    }
    // The cut-off runs at both ends cannot be longer than a turn either.
    for (const Run* r : {&runs.front(), &runs.back()}) {
        if (r->last - r->first > 1000.0 + jitter) {
            std::snprintf(text, sizeof text, "%s stayed for %.0f ms, longer than a turn", r->group.c_str(),
                          r->last - r->first);
            problems.push_back(text);
        }
    }
    return problems;
}

int runPhases(double seconds, const std::string& outDir) {
    Display* display = openDisplay();
    if (display == nullptr) return 2;
    std::vector<Sample> samples;
    const double start = nowMs();
    Image image;
    std::string previous;
    int runIndex = 0;
    FILE* log = std::fopen((outDir + "/phases.log").c_str(), "w");
    if (log == nullptr) {
        std::fprintf(stderr, "fullscreen_probe: cannot write %s/phases.log\n", outDir.c_str());
        XCloseDisplay(display);
        return 2;
    }
    std::fprintf(log, "# t_ms group lit_share centre_lit ring_lit quadrants_lit (central %.0f units)\n",
                 kGroupExtentUnits);
    while (nowMs() - start < seconds * 1000.0) {
        const double t = nowMs();
        if (!grabRoot(display, image, kGroupExtentUnits)) {
            std::fprintf(stderr, "fullscreen_probe: cannot grab the screen\n");
            std::fclose(log);
            XCloseDisplay(display);
            return 2;
        }
        const Stats s = measure(image);
        const std::string group = classify(s);
        samples.push_back({t - start, group});
        std::fprintf(log, "%.0f %s %.4f %.3f %.3f %d\n", t - start, group.c_str(), s.litShare, s.centreLit,
                     s.ringLit, s.quadrantsLit);
        if (group != previous) {
            char name[64];
            std::snprintf(name, sizeof name, "/run-%02d-%s.ppm", runIndex++, group.c_str());
            writePpm(outDir + name, image);
            previous = group;
        }
        const double next = t + 100.0;
        const double wait = next - nowMs();
        if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(wait));
    }
    std::fclose(log);
    XCloseDisplay(display);

    std::printf("samples=%zu\n", samples.size());
    const std::vector<std::string> problems = checkTurns(samples);
    for (const std::string& p : problems) std::printf("problem: %s\n", p.c_str());
    return problems.empty() ? 0 : 1;
}

// Runs the turn check again on a phases.log written by runPhases.
int runCheckLog(const char* path) {
    FILE* f = std::fopen(path, "r");
    if (f == nullptr) {
        std::fprintf(stderr, "fullscreen_probe: cannot read %s\n", path);
        return 2;
    }
    std::vector<Sample> samples;
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        double t = 0;
        char group[32];
        if (line[0] != '#' && std::sscanf(line, "%lf %31s", &t, group) == 2) samples.push_back({t, group});
    }
    std::fclose(f);
    std::printf("samples=%zu\n", samples.size());
    const std::vector<std::string> problems = checkTurns(samples);
    for (const std::string& p : problems) std::printf("problem: %s\n", p.c_str());
    return problems.empty() ? 0 : 1;
}

// The bounding box of the pixels lit in any grab over `seconds`: the whole
// scene when the grabs cover every phase group.
int runExtent(double seconds, const std::string& outPath) {
    Display* display = openDisplay();
    if (display == nullptr) return 2;
    Image grab, seen;
    int grabs = 0;
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive pixel bounds; right < left: none lit
    const double start = nowMs();
    do {
        if (!grabRoot(display, grab, 0.0)) {
            std::fprintf(stderr, "fullscreen_probe: cannot grab the screen\n");
            XCloseDisplay(display);
            return 2;
        }
        if (grabs++ == 0) {
            seen = grab;
            std::fill(seen.rgb.begin(), seen.rgb.end(), 0);
        }
        for (int y = 0; y < grab.height; ++y) {
            for (int x = 0; x < grab.width; ++x) {
                if (!lit(grab.at(x, y))) continue;
                std::memset(&seen.rgb[(static_cast<size_t>(y) * seen.width + x) * 3], 255, 3);
                if (right < left) {
                    left = right = x;
                    top = bottom = y;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (nowMs() - start < seconds * 1000.0);
    XCloseDisplay(display);
    if (!writePpm(outPath, seen)) std::fprintf(stderr, "fullscreen_probe: cannot write %s\n", outPath.c_str());

    std::printf("size=%dx%d\ngrabs=%d\n", seen.width, seen.height, grabs);
    if (right < left) {
        std::printf("problem: no pixel lit in any grab\n");
        return 1;
    }
    const double w = seen.width, h = seen.height;
    const double l = left / w, t = top / h, r = (right + 1) / w, b = (bottom + 1) / h;
    std::printf("left=%.4f\ntop=%.4f\nright=%.4f\nbottom=%.4f\n", l, t, r, b);
    std::printf("centre_x=%.4f\ncentre_y=%.4f\nwidth=%.4f\nheight=%.4f\n", (l + r) / 2, (t + b) / 2, r - l, b - t);
    return 0;
}

// Inclusive pixel bounds of the lit pixels; right < left when none is lit.
struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;
    bool empty() const { return right < left; }
    void add(const Box& o) {
        if (o.empty()) return;
        if (empty()) {
            *this = o;
            return;
        }
        left = std::min(left, o.left);
        top = std::min(top, o.top);
        right = std::max(right, o.right);
        bottom = std::max(bottom, o.bottom);
    }
};

Box litBox(const Image& image) {
    Box box;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (!lit(image.at(x, y))) continue;
            box.add({x, y, x, y});
        }
    }
    return box;
}

struct LookGrab {
    double t;
    bool square;  // the square's signature: black centre, lit in all four quadrants
    int colours;
    Box box;
    Image image;  // at half size, for looking at afterwards
};

Image halfSize(const Image& full) {
    Image half;
    half.width = full.width / 2;
    half.height = full.height / 2;
    half.rgb.resize(static_cast<size_t>(half.width) * half.height * 3);
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            std::memcpy(&half.rgb[(static_cast<size_t>(y) * half.width + x) * 3], full.at(2 * x, 2 * y), 3);
    return half;
}

// Prints the figures of one group's turn, [from, to) in grab time, from the
// grabs of its middle half.
void reportTurn(const char* turn, const std::vector<LookGrab>& grabs, double from, double to,
                const std::string& outDir) {
    const double quarter = (to - from) / 4.0;
    Box box;
    std::vector<int> colours;
    std::vector<const LookGrab*> used;
    for (const LookGrab& g : grabs) {
        if (g.t < from + quarter || g.t >= to - quarter) continue;
        box.add(g.box);
        colours.push_back(g.colours);
        used.push_back(&g);
    }
    std::printf("%s_grabs=%zu\n", turn, used.size());
    if (used.empty() || box.empty()) return;
    std::sort(colours.begin(), colours.end());
    const double w = 2 * used[0]->image.width, h = 2 * used[0]->image.height;
    std::printf("%s_height=%.4f\n%s_centre_x=%.4f\n%s_centre_y=%.4f\n%s_colours=%d\n", turn,
                (box.bottom + 1 - box.top) / h, turn, (box.left + box.right + 1) / (2 * w), turn,
                (box.top + box.bottom + 1) / (2 * h), turn, colours[colours.size() / 2]);
    writePpm(outDir + "/look-" + turn + ".ppm", used[used.size() / 2]->image);
}

int runLook(double seconds, double phaseSeconds, const std::string& outDir) {
    Display* display = openDisplay();
    if (display == nullptr) return 2;
    std::vector<LookGrab> grabs;
    Image full;
    const double start = nowMs();
    while (nowMs() - start < seconds * 1000.0) {
        LookGrab g;
        g.t = nowMs() - start;
        if (!grabRoot(display, full, 0.0)) {
            std::fprintf(stderr, "fullscreen_probe: cannot grab the screen\n");
            XCloseDisplay(display);
            return 2;
        }
        const Stats s = measure(full);
        g.square = s.litShare > 0.0005 && s.centreLit <= 0.02 && s.quadrantsLit == 4;
        g.colours = s.colours;
        g.box = litBox(full);
        g.image = halfSize(full);
        const double wait = g.t + start + 100.0 - nowMs();
        grabs.push_back(std::move(g));
        if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(wait));
    }
    XCloseDisplay(display);
    if (FILE* log = std::fopen((outDir + "/look.log").c_str(), "w")) {
        std::fprintf(log, "# t_ms square colours left top right bottom\n");
        for (const LookGrab& g : grabs)
            std::fprintf(log, "%.0f %d %d %d %d %d %d\n", g.t, g.square ? 1 : 0, g.colours, g.box.left, g.box.top,
                         g.box.right, g.box.bottom);
        std::fclose(log);
    }

    // The first run of square grabs with other grabs on both sides and a
    // whole turn before and after it inside the recording. Its middle is
    // the middle of the square's turn to within a frame or two, however late
    // its first and last frames were seen.
    const double phase = phaseSeconds * 1000.0;
    for (size_t i = 1; i < grabs.size(); ++i) {
        if (!grabs[i].square || grabs[i - 1].square) continue;
        size_t j = i;
        while (j + 1 < grabs.size() && grabs[j + 1].square) ++j;
        if (j + 1 == grabs.size()) break;
        const double middle = (grabs[i].t + grabs[j].t) / 2.0;
        if (middle - 1.5 * phase < 0 || middle + 1.5 * phase > grabs.back().t) continue;
        std::printf("grabs=%zu\nsquare_middle_ms=%.0f\n", grabs.size(), middle);
        reportTurn("before", grabs, middle - 1.5 * phase, middle - 0.5 * phase, outDir);
        reportTurn("square", grabs, middle - 0.5 * phase, middle + 0.5 * phase, outDir);
        reportTurn("after", grabs, middle + 0.5 * phase, middle + 1.5 * phase, outDir);
        return 0;
    }
    std::printf("grabs=%zu\nproblem: no complete turn of the square with a turn on either side\n", grabs.size());
    return 1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: fullscreen_probe stats FILE.png\n"
                 "       fullscreen_probe wait-lit SECONDS\n"
                 "       fullscreen_probe phases SECONDS OUTDIR\n"
                 "       fullscreen_probe check-log OUTDIR/phases.log\n"
                 "       fullscreen_probe extent SECONDS OUT.ppm\n"
                 "       fullscreen_probe look SECONDS PHASE_SECONDS OUTDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    if (command == "stats" && argc == 3) return runStats(argv[2]);
    if (command == "wait-lit" && argc == 3) return runWaitLit(std::atof(argv[2]));
    if (command == "phases" && argc == 4) return runPhases(std::atof(argv[2]), argv[3]);
    if (command == "check-log" && argc == 3) return runCheckLog(argv[2]);
    if (command == "extent" && argc == 4) return runExtent(std::atof(argv[2]), argv[3]);
    if (command == "look" && argc == 5) return runLook(std::atof(argv[2]), std::atof(argv[3]), argv[4]);
    return usage();
}
