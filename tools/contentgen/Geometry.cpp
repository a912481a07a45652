#include "tools/contentgen/Geometry.h"

#include <algorithm>
#include <map>
#include <utility>

namespace contentgen {

namespace {
const double kPi = 3.14159265358979323846;

void push(std::vector<double>& out, Vec3 v) {
    out.push_back(v.x);
    out.push_back(v.y);
    out.push_back(v.z);
}
void push(std::vector<double>& out, UV t) {
    out.push_back(t.s);
    out.push_back(t.t);
}
}  // namespace

void GenMesh::addTriangle(Vec3 a, UV ta, Vec3 b, UV tb, Vec3 c, UV tc) {
    push(positions, a);
    push(positions, b);
    push(positions, c);
    push(texCoords, ta);
    push(texCoords, tb);
    push(texCoords, tc);
}

void GenMesh::addQuad(Vec3 a, UV ta, Vec3 b, UV tb, Vec3 c, UV tc, Vec3 d, UV td) {
    addTriangle(a, ta, b, tb, c, tc);
    addTriangle(a, ta, c, tc, d, td);
}

double GenMesh::boundingRadius() const {
    double r = 0;
    for (size_t i = 0; i + 2 < positions.size(); i += 3)
        r = std::max(r, length({positions[i], positions[i + 1], positions[i + 2]}));
    return r;
}

std::array<UV, 3> triangleFrameCorners() {
    // Apex, bottom left, bottom right: an isosceles triangle filling the
    // image apart from a 4% margin.
    return {UV{0.5, 0.04}, UV{0.04, 0.96}, UV{0.96, 0.96}};
}

Vec3 rotateAbout(Vec3 v, Vec3 axis, double angle) {
    // Rodrigues' rotation formula.
    const double c = std::cos(angle), s = std::sin(angle);
    return v * c + cross(axis, v) * s + axis * (dot(axis, v) * (1 - c));
}

std::vector<Vec3> icosahedronDirections() {
    const double g = (1.0 + std::sqrt(5.0)) / 2.0;
    std::vector<Vec3> v = {{-1, g, 0}, {1, g, 0}, {-1, -g, 0}, {1, -g, 0}, {0, -1, g}, {0, 1, g},
                           {0, -1, -g}, {0, 1, -g}, {g, 0, -1}, {g, 0, 1}, {-g, 0, -1}, {-g, 0, 1}};
    for (Vec3& p : v) p = normalized(p);
    return v;
}

namespace {
// The icosahedron's twenty faces as corners of icosahedronDirections().
std::vector<std::array<int, 3>> icosahedronFaces() {
    return {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
            {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
            {3, 8, 9},  {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};
}
}  // namespace

std::vector<Vec3> icosahedronFaceDirections() {
    const std::vector<Vec3> corners = icosahedronDirections();
    std::vector<Vec3> out;
    for (const auto& f : icosahedronFaces())
        out.push_back(normalized(corners[size_t(f[0])] + corners[size_t(f[1])] + corners[size_t(f[2])]));
    return out;
}

void addGeodesicSphere(GenMesh& mesh, double radius, int levels, const std::array<UV, 3>& corners) {
    std::vector<Vec3> verts = icosahedronDirections();
    std::vector<std::array<int, 3>> faces = icosahedronFaces();
    for (int level = 0; level < levels; ++level) {
        std::map<std::pair<int, int>, int> midpoints;
        auto midpoint = [&](int a, int b) {
            const std::pair<int, int> key(std::min(a, b), std::max(a, b));
            auto it = midpoints.find(key);
            if (it != midpoints.end()) return it->second;
            verts.push_back(normalized(verts[size_t(a)] + verts[size_t(b)]));
            const int index = static_cast<int>(verts.size()) - 1;
            midpoints.emplace(key, index);
            return index;
        };
        std::vector<std::array<int, 3>> finer;
        for (const auto& f : faces) {
            const int ab = midpoint(f[0], f[1]), bc = midpoint(f[1], f[2]), ca = midpoint(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces.swap(finer);
    }
    for (const auto& f : faces)
        mesh.addTriangle(verts[size_t(f[0])] * radius, corners[0], verts[size_t(f[1])] * radius, corners[1],
                         verts[size_t(f[2])] * radius, corners[2]);
}

void addUvSphere(GenMesh& mesh, double radius, int slices, int stacks) {
    auto point = [&](int i, int j) {
        const double theta = kPi * double(j) / stacks;       // from the north pole
        const double phi = 2.0 * kPi * double(i) / slices;   // around Z
        return Vec3{radius * std::sin(theta) * std::cos(phi), radius * std::sin(theta) * std::sin(phi),
                    radius * std::cos(theta)};
    };
    for (int j = 0; j < stacks; ++j) {
        const double t0 = double(j) / stacks, t1 = double(j + 1) / stacks;
        for (int i = 0; i < slices; ++i) {
            const double s0 = double(i) / slices, s1 = double(i + 1) / slices;
            if (j == 0) {
                mesh.addTriangle(point(i, 0), {(s0 + s1) / 2, t0}, point(i, 1), {s0, t1}, point(i + 1, 1), {s1, t1});
            } else if (j == stacks - 1) {
                mesh.addTriangle(point(i, j), {s0, t0}, point(i, j + 1), {(s0 + s1) / 2, t1}, point(i + 1, j),
                                 {s1, t0});
            } else {
                mesh.addQuad(point(i, j), {s0, t0}, point(i, j + 1), {s0, t1}, point(i + 1, j + 1), {s1, t1},
                             point(i + 1, j), {s1, t0});
            }
        }
    }
}

void addTorus(GenMesh& mesh, double ringRadius, double tubeRadius, int segments, int sides, double sRepeats) {
    addTube(
        mesh,
        [ringRadius](double u) {
            const double a = 2.0 * kPi * u;
            return Vec3{ringRadius * std::cos(a), ringRadius * std::sin(a), 0.0};
        },
        tubeRadius, segments, sides, sRepeats);
}

void addTorusKnot(GenMesh& mesh, int p, int q, double ringRadius, double knotRadius, double tubeRadius,
                  int segments, int sides, double sRepeats) {
    addTube(
        mesh,
        [=](double u) {
            const double a = 2.0 * kPi * u;
            const double r = ringRadius + knotRadius * std::cos(q * a);
            return Vec3{r * std::cos(p * a), r * std::sin(p * a), knotRadius * std::sin(q * a)};
        },
        tubeRadius, segments, sides, sRepeats);
}

void addAnnulus(GenMesh& mesh, double innerRadius, double outerRadius, int segments, double tRepeats) {
    for (int i = 0; i < segments; ++i) {
        const double a0 = 2.0 * kPi * i / segments, a1 = 2.0 * kPi * (i + 1) / segments;
        const double t0 = tRepeats * i / segments, t1 = tRepeats * (i + 1) / segments;
        const Vec3 d0{std::cos(a0), std::sin(a0), 0}, d1{std::cos(a1), std::sin(a1), 0};
        mesh.addQuad(d0 * innerRadius, {0.0, t0}, d0 * outerRadius, {1.0, t0}, d1 * outerRadius, {1.0, t1},
                     d1 * innerRadius, {0.0, t1});
    }
}

void addGlowStar(GenMesh& mesh, double h) {
    const UV a{0, 0}, b{1, 0}, c{1, 1}, d{0, 1};
    mesh.addQuad({-h, h, 0}, a, {h, h, 0}, b, {h, -h, 0}, c, {-h, -h, 0}, d);
    mesh.addQuad({-h, 0, h}, a, {h, 0, h}, b, {h, 0, -h}, c, {-h, 0, -h}, d);
    mesh.addQuad({0, -h, h}, a, {0, h, h}, b, {0, h, -h}, c, {0, -h, -h}, d);
}

void addCrystalSpike(GenMesh* sides, GenMesh* tips, Vec3 axis, const SpikeShape& shape) {
    axis = normalized(axis);
    const Vec3 helper = std::fabs(axis.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    const Vec3 e1 = normalized(cross(axis, helper));
    const Vec3 e2 = cross(axis, e1);
    const std::array<UV, 3> tri = triangleFrameCorners();
    const Vec3 tip = axis * shape.tipDistance;
    for (int k = 0; k < 6; ++k) {
        const double a0 = shape.twist + 2.0 * kPi * k / 6, a1 = shape.twist + 2.0 * kPi * (k + 1) / 6;
        const Vec3 r0 = (e1 * std::cos(a0) + e2 * std::sin(a0)) * shape.radius;
        const Vec3 r1 = (e1 * std::cos(a1) + e2 * std::sin(a1)) * shape.radius;
        const Vec3 base0 = axis * shape.baseDistance + r0, base1 = axis * shape.baseDistance + r1;
        const Vec3 sh0 = axis * shape.shoulderDistance + r0, sh1 = axis * shape.shoulderDistance + r1;
        // Prism side: the image's top edge lies at the shoulder.
        if (sides) sides->addQuad(sh0, {0, 0}, sh1, {1, 0}, base1, {1, 1}, base0, {0, 1});
        if (tips) {
            tips->addTriangle(tip, tri[0], sh0, tri[1], sh1, tri[2]);
            tips->addTriangle(axis * shape.rootDistance, tri[0], base1, tri[1], base0, tri[2]);
        }
    }
}

}  // namespace contentgen
