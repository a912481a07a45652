// Geometry for the screensaver's default content: a small vector type, a
// triangle-list mesh with one texture name, and the shape builders the three
// mesh entries are made of (spheres, tubes, rings, crystal spikes, glow
// cards). Every builder appends independent triangles with per-vertex texture
// coordinates, t = 0 being the top row of the texture image.
//
//   GenMesh lattice("lattice_blue");
//   addGeodesicSphere(lattice, 14.5, 2, triangleFrameCorners());
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace contentgen {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
    const double l = length(a);
    return l > 0 ? a * (1.0 / l) : a;
}

struct UV {
    double s = 0, t = 0;
};

// One mesh of a mesh entry: a texture name and independent triangles, laid
// out as the entry stores them (9 position doubles and 6 texture-coordinate
// doubles per triangle).
struct GenMesh {
    std::string textureName;
    std::vector<double> positions;
    std::vector<double> texCoords;

    GenMesh() = default;
    explicit GenMesh(std::string name) : textureName(std::move(name)) {}

    int triangleCount() const { return static_cast<int>(positions.size() / 9); }
    void addTriangle(Vec3 a, UV ta, Vec3 b, UV tb, Vec3 c, UV tc);
    // Two triangles a-b-c and a-c-d.
    void addQuad(Vec3 a, UV ta, Vec3 b, UV tb, Vec3 c, UV tc, Vec3 d, UV td);
    // Largest distance of any vertex from the model origin.
    double boundingRadius() const;
};

// Texture coordinates that place a triangle on the triangular frame images
// (apex at the top centre, base along the bottom), inset from the image's
// border so that linear filtering never reaches the opposite edge.
std::array<UV, 3> triangleFrameCorners();

// Icosahedron subdivided `levels` times and pushed onto a sphere of the given
// radius: 20 * 4^levels triangles, each mapped onto `corners`.
void addGeodesicSphere(GenMesh& mesh, double radius, int levels, const std::array<UV, 3>& corners);

// The twelve vertex directions of an icosahedron (unit vectors).
std::vector<Vec3> icosahedronDirections();

// The twenty face-centre directions of the same icosahedron (unit vectors):
// the corners of the dual dodecahedron, each midway between three of the
// vertex directions.
std::vector<Vec3> icosahedronFaceDirections();

// Latitude/longitude sphere: `slices` around the Z axis, `stacks` from pole
// to pole; s runs once around (0..1), t from the north pole (0) to the south
// pole (1).
void addUvSphere(GenMesh& mesh, double radius, int slices, int stacks);

// A tube of radius `tubeRadius` swept along a closed curve given by `curve`
// (parameter 0..1). s runs along the curve `sRepeats` times, t once around the
// tube. The tube's cross-section frame follows the curve with rotation
// minimising transport, corrected so that it closes without a seam twist.
template <class Curve>
void addTube(GenMesh& mesh, Curve curve, double tubeRadius, int segments, int sides, double sRepeats);

// Torus in the XY plane around the Z axis.
void addTorus(GenMesh& mesh, double ringRadius, double tubeRadius, int segments, int sides, double sRepeats);

// (p, q) torus knot wound around a torus of radius ringRadius whose circle
// has radius knotRadius, as a tube.
void addTorusKnot(GenMesh& mesh, int p, int q, double ringRadius, double knotRadius, double tubeRadius,
                  int segments, int sides, double sRepeats);

// Flat ring in the XY plane between the two radii; s = 0 at the inner edge,
// 1 at the outer edge, t around the ring (`tRepeats` times).
void addAnnulus(GenMesh& mesh, double innerRadius, double outerRadius, int segments, double tRepeats);

// Three mutually perpendicular squares of half-size `halfSize` through the
// origin, each mapped onto the whole image: a glow that reads as round from
// every direction when drawn additively with a radial image.
void addGlowStar(GenMesh& mesh, double halfSize);

// A double-terminated hexagonal crystal along `axis`: a short pyramid from
// the inner tip at `rootDistance` out to the prism at `baseDistance`, the
// prism up to `shoulderDistance` and a pyramid up to the tip at
// `tipDistance`. Prism sides go to `sides`, pyramid faces to `tips`, each
// face mapped onto the whole quad image or onto the triangular frame.
// `twist` turns the hexagon about the axis (radians).
struct SpikeShape {
    double rootDistance, baseDistance, shoulderDistance, tipDistance, radius, twist;
};
void addCrystalSpike(GenMesh* sides, GenMesh* tips, Vec3 axis, const SpikeShape& shape);

// Rotates v about the unit axis by angle radians.
Vec3 rotateAbout(Vec3 v, Vec3 axis, double angle);

template <class Curve>
void addTube(GenMesh& mesh, Curve curve, double tubeRadius, int segments, int sides, double sRepeats) {
    const double pi = 3.14159265358979323846;
    // Points and tangents along the curve.
    std::vector<Vec3> points(static_cast<size_t>(segments));
    std::vector<Vec3> tangents(static_cast<size_t>(segments));
    for (int i = 0; i < segments; ++i) {
        const double u = double(i) / segments;
        const double h = 1e-4;
        points[size_t(i)] = curve(u);
        tangents[size_t(i)] = normalized(curve(u + h) - curve(u - h));
    }
    // Parallel-transported normals.
    std::vector<Vec3> normals(static_cast<size_t>(segments));
    Vec3 seed = std::fabs(tangents[0].z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    normals[0] = normalized(cross(cross(tangents[0], seed), tangents[0]));
    for (int i = 1; i < segments; ++i) {
        const Vec3 t = tangents[size_t(i)];
        const Vec3 n = normals[size_t(i - 1)];
        normals[size_t(i)] = normalized(n - t * dot(n, t));
    }
    // The transported frame comes back turned by some angle; spread the
    // correction evenly along the curve so the tube closes cleanly.
    const Vec3 t0 = tangents[0];
    Vec3 back = normals[size_t(segments - 1)];
    back = normalized(back - t0 * dot(back, t0));
    double closing = std::atan2(dot(cross(back, normals[0]), t0), dot(back, normals[0]));
    for (int i = 0; i < segments; ++i) {
        const double a = closing * double(i) / segments;
        normals[size_t(i)] = rotateAbout(normals[size_t(i)], tangents[size_t(i)], a);
    }
    auto ringPoint = [&](int i, int j) {
        const size_t k = size_t(i % segments);
        const Vec3 n = normals[k];
        const Vec3 b = cross(tangents[k], n);
        const double a = 2.0 * pi * double(j) / sides;
        return points[k] + (n * std::cos(a) + b * std::sin(a)) * tubeRadius;
    };
    for (int i = 0; i < segments; ++i) {
        const double s0 = sRepeats * double(i) / segments, s1 = sRepeats * double(i + 1) / segments;
        for (int j = 0; j < sides; ++j) {
            const double t0c = double(j) / sides, t1c = double(j + 1) / sides;
            mesh.addQuad(ringPoint(i, j), {s0, t0c}, ringPoint(i + 1, j), {s1, t0c}, ringPoint(i + 1, j + 1),
                         {s1, t1c}, ringPoint(i, j + 1), {s0, t1c});
        }
    }
}

}  // namespace contentgen
