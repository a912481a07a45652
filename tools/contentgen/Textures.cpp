#include "tools/contentgen/Textures.h"

#include "tools/contentgen/Geometry.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {
const double kPi = 3.14159265358979323846;

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
Colour scaled(Colour c, double s) { return {c.r * s, c.g * s, c.b * s}; }
Colour plus(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

// Shading of a rounded bar: c runs across the bar from -1 to 1 in the
// image-space direction (gx, gy); the light comes from the upper left and
// the front. Returns the lit colour.
Colour shadeBar(Colour base, double c, double gx, double gy) {
    c = std::max(-1.0, std::min(1.0, c));
    const double nz = std::sqrt(std::max(0.0, 1.0 - c * c));
    const Vec3 n{gx * c, gy * c, nz};
    const Vec3 light = normalized({-0.45, -0.55, 0.7});
    const Vec3 half = normalized(light + Vec3{0, 0, 1});
    const double diffuse = std::max(0.0, dot(n, light));
    const double spec = std::pow(std::max(0.0, dot(n, half)), 30.0);
    return plus(scaled(base, 0.22 + 0.9 * diffuse), scaled({1, 1, 1}, 0.55 * spec));
}

// A 2-D edge as the inward unit normal and offset: distance = n . p - offset.
struct Edge {
    double nx, ny, offset;
};

Edge inwardEdge(double ax, double ay, double bx, double by, double cx, double cy) {
    double nx = -(by - ay), ny = bx - ax;
    const double l = std::sqrt(nx * nx + ny * ny);
    nx /= l;
    ny /= l;
    double offset = nx * ax + ny * ay;
    if (nx * cx + ny * cy - offset < 0) {  // point the normal at the third corner
        nx = -nx;
        ny = -ny;
        offset = -offset;
    }
    return {nx, ny, offset};
}

// Paints bars of the given width inside a convex polygon described by its
// inward edges; texels up to 1.5 texels outside the edges are painted too, so
// that neighbouring faces sharing an edge leave no filtered seam.
Image paintFrame(int size, const std::vector<Edge>& edges, double barWidth, Colour base) {
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double best = 1e9;
            const Edge* nearest = nullptr;
            for (const Edge& e : edges) {
                const double d = e.nx * px + e.ny * py - e.offset;
                if (d < best) {
                    best = d;
                    nearest = &e;
                }
            }
            if (best < -1.5 || best >= barWidth) continue;
            const double c = 2.0 * best / barWidth - 1.0;
            image.set(x, y, shadeBar(base, -c, nearest->nx, nearest->ny), 255);
        }
    }
    return image;
}

}  // namespace

void Image::set(int x, int y, Colour c, int alpha) {
    std::uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    p[0] = static_cast<std::uint8_t>(std::lround(clamp01(c.r) * 255.0));
    p[1] = static_cast<std::uint8_t>(std::lround(clamp01(c.g) * 255.0));
    p[2] = static_cast<std::uint8_t>(std::lround(clamp01(c.b) * 255.0));
    p[3] = static_cast<std::uint8_t>(std::max(0, std::min(255, alpha)));
}

Image paintTriangleFrame(int size, double barWidth, Colour base) {
    const auto uv = triangleFrameCorners();
    double px[3], py[3];
    for (int i = 0; i < 3; ++i) {
        px[i] = uv[size_t(i)].s * size;
        py[i] = uv[size_t(i)].t * size;
    }
    std::vector<Edge> edges;
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3, k = (i + 2) % 3;
        edges.push_back(inwardEdge(px[i], py[i], px[j], py[j], px[k], py[k]));
    }
    return paintFrame(size, edges, barWidth, base);
}

Image paintQuadFrame(int size, double barWidth, Colour base) {
    // The quad's corners lie on the image's border; the 1.5-texel outside
    // margin then falls outside the image.
    const double s = size;
    const std::vector<Edge> edges = {{1, 0, 0}, {-1, 0, -s}, {0, 1, 0}, {0, -1, -s}};
    return paintFrame(size, edges, barWidth, base);
}

Image paintMetalTube(int width, int height, Colour base, int grooves) {
    Image image(width, height);
    const double period = double(width) / grooves;
    for (int y = 0; y < height; ++y) {
        // Angle around the tube; the cross-section normal's component towards
        // a light that sits a quarter turn from the seam, a little forward.
        const double a = 2.0 * kPi * (y + 0.5) / height;
        const double diffuse = std::max(0.0, std::cos(a - 1.3));
        const double spec = std::pow(std::max(0.0, std::cos(a - 1.1)), 40.0);
        const double rim = std::pow(std::max(0.0, std::cos(a - 4.2)), 6.0);
        for (int x = 0; x < width; ++x) {
            const double phase = std::fmod(x + 0.5, period) / period;  // 0..1 within one segment
            const double groove = std::exp(-std::pow((phase - 0.5) / 0.06, 2.0));
            const double shade = (0.18 + 0.85 * diffuse) * (1.0 - 0.75 * groove);
            Colour c = plus(scaled(base, shade), scaled({1, 1, 1}, 0.7 * spec * (1.0 - groove)));
            c = plus(c, scaled({0.35, 0.45, 0.9}, 0.35 * rim));  // cool reflected rim light
            image.set(x, y, c, 255);
        }
    }
    return image;
}

Image paintGlow(int size, Colour base) {
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = (x + 0.5) / size * 2.0 - 1.0, dy = (y + 0.5) / size * 2.0 - 1.0;
            const double r = std::sqrt(dx * dx + dy * dy);
            const double fall = r >= 1.0 ? 0.0 : std::pow(1.0 - r, 2.4);
            const double core = std::exp(-r * r / 0.012);
            image.set(x, y, plus(scaled(base, 1.1 * fall), scaled({1, 1, 1}, 0.8 * core)), 255);
        }
    }
    return image;
}

Image paintGlass(int size, Colour base, bool triangular) {
    std::vector<Edge> edges;
    if (triangular) {
        const auto uv = triangleFrameCorners();
        for (int i = 0; i < 3; ++i) {
            const int j = (i + 1) % 3, k = (i + 2) % 3;
            edges.push_back(inwardEdge(uv[size_t(i)].s * size, uv[size_t(i)].t * size, uv[size_t(j)].s * size,
                                       uv[size_t(j)].t * size, uv[size_t(k)].s * size, uv[size_t(k)].t * size));
        }
    } else {
        const double s = size;
        edges = {{1, 0, 0}, {-1, 0, -s}, {0, 1, 0}, {0, -1, -s}};
    }
    const double depth = size * (triangular ? 0.22 : 0.5);
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            double d = 1e9;
            for (const Edge& e : edges) d = std::min(d, e.nx * px + e.ny * py - e.offset);
            // Towards the edges the glass looks thicker and brighter; a faint
            // diagonal sheen crosses the face.
            const double inside = clamp01(d / depth);
            const double edge = std::pow(1.0 - inside, 2.5);
            const double sheen = std::exp(-std::pow((px - py * 0.6 - size * 0.25) / (size * 0.06), 2.0));
            const double v = d < -1.5 ? 0.0 : 0.12 + 0.75 * edge + 0.25 * sheen;
            image.set(x, y, scaled(base, v), 255);
        }
    }
    return image;
}

Image paintHalo(int width, int height, Colour base) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const double streak = 0.88 + 0.12 * std::cos(2.0 * kPi * 2.0 * (y + 0.5) / height);
        for (int x = 0; x < width; ++x) {
            const double s = (x + 0.5) / width;
            const double band = std::exp(-std::pow((s - 0.42) / 0.2, 2.0)) * std::sin(kPi * s);
            const double line = 0.5 * std::exp(-std::pow((s - 0.7) / 0.03, 2.0)) * std::sin(kPi * s);
            image.set(x, y, scaled(base, (band + line) * streak), 255);
        }
    }
    return image;
}

std::vector<unsigned char> encodePng(const Image& image) {
    std::vector<unsigned char> out;
    auto append = [](void* context, void* data, int size) {
        auto* bytes = static_cast<std::vector<unsigned char>*>(context);
        const auto* p = static_cast<const unsigned char*>(data);
        bytes->insert(bytes->end(), p, p + size);
    };
    if (!stbi_write_png_to_func(append, &out, image.width, image.height, 4, image.rgba.data(), image.width * 4))
        out.clear();
    return out;
}

}  // namespace contentgen
