#include "tools/contentgen/Preview.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace contentgen {

namespace {
const double kPi = 3.14159265358979323846;

// Row-major 3x4 affine transform.
struct Affine {
    double m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};

    Vec3 apply(Vec3 v) const {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + m[0][3],
                m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + m[1][3],
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z + m[2][3]};
    }
    Affine operator*(const Affine& o) const {
        Affine r;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 4; ++j) {
                r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + (j == 3 ? m[i][3] : 0);
            }
        }
        return r;
    }
};

Affine translation(Vec3 p) {
    Affine a;
    a.m[0][3] = p.x;
    a.m[1][3] = p.y;
    a.m[2][3] = p.z;
    return a;
}

Affine scaling(double s) {
    Affine a;
    a.m[0][0] = a.m[1][1] = a.m[2][2] = s;
    return a;
}

// Rotation by `degrees` about coordinate axis 1 (Y) or 2 (Z), as glRotate.
Affine rotation(int axis, double degrees) {
    const double r = degrees * kPi / 180.0, c = std::cos(r), s = std::sin(r);
    Affine a;
    if (axis == 2) {
        a.m[0][0] = c, a.m[0][1] = -s, a.m[1][0] = s, a.m[1][1] = c;
    } else {
        a.m[0][0] = c, a.m[0][2] = s, a.m[2][0] = -s, a.m[2][2] = c;
    }
    return a;
}

struct Colour4 {
    double r, g, b, a;
};

// GL_LINEAR sampling with GL_REPEAT wrapping; t = 0 is the image's top row.
Colour4 sample(const Image& image, double s, double t) {
    const double u = s * image.width - 0.5, v = t * image.height - 0.5;
    const double fu = std::floor(u), fv = std::floor(v);
    const double au = u - fu, av = v - fv;
    auto wrap = [](long i, int n) { return static_cast<int>(((i % n) + n) % n); };
    const int x0 = wrap(static_cast<long>(fu), image.width), x1 = wrap(static_cast<long>(fu) + 1, image.width);
    const int y0 = wrap(static_cast<long>(fv), image.height), y1 = wrap(static_cast<long>(fv) + 1, image.height);
    double c[4];
    for (int k = 0; k < 4; ++k) {
        const double top = image.at(x0, y0)[k] * (1 - au) + image.at(x1, y0)[k] * au;
        const double bottom = image.at(x0, y1)[k] * (1 - au) + image.at(x1, y1)[k] * au;
        c[k] = (top * (1 - av) + bottom * av) / 255.0;
    }
    return {c[0], c[1], c[2], c[3]};
}

class Rasterizer {
public:
    Rasterizer(int width, int height, double distance)
        : width_(width), height_(height), colour_(size_t(width) * height * 3, 0.0),
          depth_(size_t(width) * height, 0.0) {
        focal_ = 1.0 / std::tan(22.5 * kPi / 180.0);
        aspect_ = double(width) / height;
        camera_ = translation({0, 0, -distance});
    }

    void drawNode(const PreviewNode& node, const Affine& parent, const std::map<std::string, Image>& textures) {
        const Affine placed =
            parent * translation(node.position) * rotation(2, node.angleZ) * rotation(1, node.angleY);
        if (node.entry) {
            const Affine own = placed * scaling(node.scale);
            for (const GenMesh& mesh : node.entry->meshes) {
                auto it = textures.find(mesh.textureName);
                if (it == textures.end() || it->second.width <= 0 || it->second.height <= 0) continue;
                drawMesh(mesh, own, it->second);
            }
        }
        for (const PreviewNode& child : node.children) drawNode(child, placed, textures);
    }

    const Affine& camera() const { return camera_; }

    // Averages supersample x supersample blocks into the final picture.
    RgbImage resolve(int supersample) const {
        RgbImage out;
        out.width = width_ / supersample;
        out.height = height_ / supersample;
        out.rgb.resize(size_t(out.width) * out.height * 3);
        const double n = double(supersample) * supersample;
        for (int y = 0; y < out.height; ++y) {
            for (int x = 0; x < out.width; ++x) {
                for (int k = 0; k < 3; ++k) {
                    double sum = 0;
                    for (int dy = 0; dy < supersample; ++dy)
                        for (int dx = 0; dx < supersample; ++dx)
                            sum += colour_[(size_t(y * supersample + dy) * width_ + (x * supersample + dx)) * 3 + k];
                    const double v = std::min(1.0, sum / n);
                    out.rgb[(size_t(y) * out.width + x) * 3 + k] = static_cast<unsigned char>(std::lround(v * 255.0));
                }
            }
        }
        return out;
    }

private:
    struct Vertex {
        double x, y;     // screen position in pixels
        double invW;     // 1 / eye distance
        double sw, tw;   // texture coordinates divided by eye distance
    };

    void drawMesh(const GenMesh& mesh, const Affine& model, const Image& texture) {
        const bool alphaTest = mesh.textureName[0] != '#';
        const bool blend = mesh.textureName.size() > 1 && mesh.textureName[1] == '$';
        const Affine m = camera_ * model;
        for (int i = 0; i < mesh.triangleCount(); ++i) {
            Vertex v[3];
            bool visible = true;
            for (int j = 0; j < 3; ++j) {
                const double* p = &mesh.positions[size_t(i) * 9 + size_t(j) * 3];
                const double* t = &mesh.texCoords[size_t(i) * 6 + size_t(j) * 2];
                const Vec3 e = m.apply({p[0], p[1], p[2]});
                const double w = -e.z;
                if (w < 0.1) visible = false;  // behind the near plane: not expected in this scene
                const double invW = 1.0 / w;
                v[j] = {(1.0 + focal_ / aspect_ * e.x * invW) * 0.5 * width_,
                        (1.0 - focal_ * e.y * invW) * 0.5 * height_, invW, t[0] * invW, t[1] * invW};
            }
            if (visible) drawTriangle(v, texture, alphaTest, blend);
        }
    }

    void drawTriangle(const Vertex v[3], const Image& texture, bool alphaTest, bool blend) {
        const double area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
        if (std::fabs(area) < 1e-12) return;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].x, v[1].x, v[2].x}))));
        const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(std::max({v[0].x, v[1].x, v[2].x}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({v[0].y, v[1].y, v[2].y}))));
        const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(std::max({v[0].y, v[1].y, v[2].y}))));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double px = x + 0.5, py = y + 0.5;
                double b[3];
                b[0] = ((v[1].x - px) * (v[2].y - py) - (v[2].x - px) * (v[1].y - py)) / area;
                b[1] = ((v[2].x - px) * (v[0].y - py) - (v[0].x - px) * (v[2].y - py)) / area;
                b[2] = 1.0 - b[0] - b[1];
                if (b[0] < 0 || b[1] < 0 || b[2] < 0) continue;
                const double invW = b[0] * v[0].invW + b[1] * v[1].invW + b[2] * v[2].invW;
                const size_t index = size_t(y) * width_ + x;
                if (!blend && invW < depth_[index]) continue;  // farther than what is there
                const double s = (b[0] * v[0].sw + b[1] * v[1].sw + b[2] * v[2].sw) / invW;
                const double t = (b[0] * v[0].tw + b[1] * v[1].tw + b[2] * v[2].tw) / invW;
                const Colour4 c = sample(texture, s, t);
                if (alphaTest && !(c.a > 0.9)) continue;
                double* out = &colour_[index * 3];
                if (blend) {
                    out[0] = std::min(1.0, c.r + out[0] * c.a);
                    out[1] = std::min(1.0, c.g + out[1] * c.a);
                    out[2] = std::min(1.0, c.b + out[2] * c.a);
                } else {
                    out[0] = c.r;
                    out[1] = c.g;
                    out[2] = c.b;
                    depth_[index] = invW;
                }
            }
        }
    }

    int width_, height_;
    double focal_ = 1.0, aspect_ = 1.0;
    Affine camera_;
    std::vector<double> colour_;
    std::vector<double> depth_;  // 1 / eye distance of the nearest fragment; 0 is infinitely far
};

}  // namespace

RgbImage renderPreview(const std::vector<PreviewNode>& nodes, const std::map<std::string, Image>& textures,
                       int width, int height, int supersample, double distance) {
    Rasterizer rasterizer(width * supersample, height * supersample, distance);
    for (const PreviewNode& node : nodes) rasterizer.drawNode(node, Affine(), textures);
    return rasterizer.resolve(supersample);
}

bool savePreviewBmp(const RgbImage& picture, const std::string& path) {
    // 24 bits per pixel with blue in the lowest byte: the layout a 24-bit
    // bitmap stores, so SDL writes the pixels unconverted.
    SDL_Surface* surface =
        SDL_CreateRGBSurface(SDL_SWSURFACE, picture.width, picture.height, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    if (!surface) return false;
    if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
    auto* pixels = static_cast<unsigned char*>(surface->pixels);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const unsigned char* in = &picture.rgb[(size_t(y) * picture.width + x) * 3];
            unsigned char* out = pixels + size_t(y) * surface->pitch + size_t(x) * 3;
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    const bool ok = SDL_SaveBMP(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return ok;
}

}  // namespace contentgen
