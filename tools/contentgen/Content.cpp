#include "tools/contentgen/Content.h"

#include <cmath>
#include <string>

namespace contentgen {

namespace {
const double kPi = 3.14159265358979323846;

// Turns every vertex of the mesh about a unit axis through the origin.
void rotateMesh(GenMesh& mesh, Vec3 axis, double angle) {
    for (size_t i = 0; i + 2 < mesh.positions.size(); i += 3) {
        const Vec3 v = rotateAbout({mesh.positions[i], mesh.positions[i + 1], mesh.positions[i + 2]}, axis, angle);
        mesh.positions[i] = v.x;
        mesh.positions[i + 1] = v.y;
        mesh.positions[i + 2] = v.z;
    }
}

// Solid parts of every model keep out of the middle half of its radius, so
// that in the nest, where the same centre holds three shapes at 0.9, 0.45
// and 0.2 of their size, the smaller ones sit in the larger one's hollow.
// Only light (additive glows, which neither hide nor are hidden) and thin
// glass edges reach into the middle.

// Appends `from`'s triangles to `to` (same texture).
void append(GenMesh& to, const GenMesh& from) {
    to.positions.insert(to.positions.end(), from.positions.begin(), from.positions.end());
    to.texCoords.insert(to.texCoords.end(), from.texCoords.begin(), from.texCoords.end());
}

// "sn1", the lantern: a geodesic lattice of cyan steel around a gyroscope of
// three rings -- a golden one outside two tubes of flowing teal plasma --
// and a pale blue glow at the heart. The lattice's open cells keep whatever
// is nested inside in view.
ContentEntry lantern(Content& content) {
    ContentEntry e{"sn1", {}};
    GenMesh lattice("sn1_lattice");
    addGeodesicSphere(lattice, 30.0, 2, triangleFrameCorners());
    GenMesh gold("sn1_ring");
    addTorus(gold, 25.0, 1.3, 56, 6, 14.0);
    content.plasmas.push_back(makePlasma('#', 64, 64, 20, 150, 140));
    GenMesh plasma(content.plasmas.back().name);
    const struct {
        double radius;
        Vec3 axis;
    } plasmaRings[] = {{22.5, {1, 0, 0}}, {20.0, {0, 1, 0}}};
    for (const auto& r : plasmaRings) {
        GenMesh ring(plasma.textureName);
        addTorus(ring, r.radius, 1.7, 48, 6, 6.0);
        rotateMesh(ring, r.axis, kPi / 2);
        append(plasma, ring);
    }
    GenMesh glow("#$sn1_glow");
    addGlowStar(glow, 12.0);
    e.meshes = {lattice, gold, plasma, glow};

    content.images.push_back({"sn1_lattice", paintTriangleFrame(128, 5.5, {0.25, 0.62, 0.92})});
    content.images.push_back({"sn1_ring", paintMetalTube(64, 32, {0.98, 0.72, 0.28}, 4)});
    content.images.push_back({"#$sn1_glow", paintGlow(64, {0.25, 0.6, 1.0})});
    return e;
}

// "sn11", the star crystal: twelve long hexagonal spikes along the
// directions of an icosahedron's corners, each a pale lilac edge frame
// filled with additive violet glass, a ring of twenty short gems of rose
// plasma floating between them, and a magenta glow. Glass adds light rather than hiding, so
// shapes nested inside shine through.
ContentEntry starCrystal(Content& content) {
    ContentEntry e{"sn11", {}};
    GenMesh edgeSides("sn11_edge_side"), edgeTips("sn11_edge_tip");
    GenMesh glassSides("#$sn11_glass_side"), glassTips("#$sn11_glass_tip");
    const std::vector<Vec3> axes = icosahedronDirections();
    for (size_t i = 0; i < axes.size(); ++i) {
        const SpikeShape shape{2.0, 8.0, 20.0, 30.0, 3.4, 0.4 * double(i)};
        addCrystalSpike(&edgeSides, &edgeTips, axes[i], shape);
        addCrystalSpike(&glassSides, &glassTips, axes[i], shape);
    }
    content.plasmas.push_back(makePlasma('#', 64, 64, 210, 40, 110));
    GenMesh gems(content.plasmas.back().name);
    // Long enough that, however the crystal turns, some tip reaches at
    // least 25 units up and down: a crystal fills its place in the square
    // and the cube nearly as well as the round models do.
    const std::vector<Vec3> between = icosahedronFaceDirections();
    for (size_t i = 0; i < between.size(); ++i) {
        const SpikeShape shape{14.0, 17.0, 21.0, 26.0, 2.6, 0.3 * double(i)};
        addCrystalSpike(&gems, &gems, between[i], shape);
    }
    GenMesh glow("#$sn11_glow");
    addGlowStar(glow, 12.0);
    e.meshes = {edgeSides, edgeTips, gems, glassSides, glassTips, glow};

    const Colour edge{0.86, 0.74, 1.0};
    content.images.push_back({"sn11_edge_side", paintQuadFrame(64, 4.0, edge)});
    content.images.push_back({"sn11_edge_tip", paintTriangleFrame(64, 3.0, edge)});
    content.images.push_back({"#$sn11_glass_side", paintGlass(64, {0.55, 0.2, 0.85}, false)});
    content.images.push_back({"#$sn11_glass_tip", paintGlass(64, {0.75, 0.3, 0.95}, true)});
    content.images.push_back({"#$sn11_glow", paintGlow(64, {1.0, 0.3, 0.75})});
    return e;
}

// "sn12", the knot: a trefoil tube painted by a live plasma in full
// wrap-around colour, inside a sphere cage that shows only an amber plasma's
// flowing contour bands and grid (the base colour leaves room for the bands'
// +1..+6 without wrapping round to green), with an amber halo ring around it and a
// warm glow at its heart.
ContentEntry knot(Content& content) {
    ContentEntry e{"sn12", {}};
    content.plasmas.push_back(makePlasma('#', 128, 128, 60, 20, 140));
    GenMesh tube(content.plasmas.back().name);
    addTorusKnot(tube, 2, 3, 17.0, 5.5, 3.2, 144, 7, 8.0);
    content.plasmas.push_back(makePlasma('x', 128, 128, 240, 160, 40));
    GenMesh cage(content.plasmas.back().name);
    addUvSphere(cage, 30.0, 24, 14);
    GenMesh halo("#$sn12_halo");
    addAnnulus(halo, 21.0, 30.0, 96, 6.0);
    GenMesh glow("#$sn12_glow");
    addGlowStar(glow, 9.0);
    e.meshes = {tube, cage, halo, glow};

    content.images.push_back({"#$sn12_halo", paintHalo(32, 64, {1.0, 0.62, 0.2})});
    content.images.push_back({"#$sn12_glow", paintGlow(64, {1.0, 0.75, 0.4})});
    return e;
}

}  // namespace

ContentPlasma makePlasma(char first, int width, int height, int r, int g, int b) {
    ContentPlasma p;
    p.name = std::string(1, first) + "#Plasma" + std::to_string(width) + "x" + std::to_string(height) + ":" +
             std::to_string(r) + ":" + std::to_string(g) + ":" + std::to_string(b);
    p.width = width;
    p.height = height;
    p.colour[0] = static_cast<unsigned char>(r);
    p.colour[1] = static_cast<unsigned char>(g);
    p.colour[2] = static_cast<unsigned char>(b);
    return p;
}

const ContentEntry* Content::entry(const std::string& name) const {
    for (const ContentEntry& e : entries)
        if (e.name == name) return &e;
    return nullptr;
}

const Image* Content::image(const std::string& name) const {
    for (const ContentImage& i : images)
        if (i.name == name) return &i.image;
    return nullptr;
}

Content buildContent() {
    Content content;
    content.entries.push_back(lantern(content));
    content.entries.push_back(starCrystal(content));
    content.entries.push_back(knot(content));
    return content;
}

}  // namespace contentgen
