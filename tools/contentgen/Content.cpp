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

// "sn1", the lantern: a geodesic lattice of cyan steel around two crossed
// golden rings and a pale blue glow. The lattice's open cells keep whatever
// is nested inside in view.
ContentEntry lantern(Content& content) {
    ContentEntry e{"sn1", {}};
    GenMesh lattice("sn1_lattice");
    addGeodesicSphere(lattice, 14.5, 2, triangleFrameCorners());
    GenMesh rings("sn1_ring");
    addTorus(rings, 11.5, 0.75, 40, 6, 10.0);
    GenMesh second("sn1_ring");
    addTorus(second, 10.0, 0.75, 36, 6, 8.0);
    rotateMesh(second, {1, 0, 0}, kPi / 2);
    rings.positions.insert(rings.positions.end(), second.positions.begin(), second.positions.end());
    rings.texCoords.insert(rings.texCoords.end(), second.texCoords.begin(), second.texCoords.end());
    GenMesh glow("#$sn1_glow");
    addGlowStar(glow, 7.0);
    e.meshes = {lattice, rings, glow};

    content.images.push_back({"sn1_lattice", paintTriangleFrame(128, 8.0, {0.25, 0.62, 0.92})});
    content.images.push_back({"sn1_ring", paintMetalTube(64, 32, {0.98, 0.72, 0.28}, 4)});
    content.images.push_back({"#$sn1_glow", paintGlow(64, {0.25, 0.6, 1.0})});
    return e;
}

// "sn11", the star crystal: twelve hexagonal spikes along the directions of
// an icosahedron's corners, each a pale lilac edge frame filled with
// additive violet glass, around a magenta glow. Glass adds light rather
// than hiding, so shapes nested inside shine through.
ContentEntry starCrystal(Content& content) {
    ContentEntry e{"sn11", {}};
    GenMesh edgeSides("sn11_edge_side"), edgeTips("sn11_edge_tip");
    GenMesh glassSides("#$sn11_glass_side"), glassTips("#$sn11_glass_tip");
    const std::vector<Vec3> axes = icosahedronDirections();
    for (size_t i = 0; i < axes.size(); ++i) {
        const SpikeShape shape{1.0, 4.0, 10.0, 15.0, 1.7, 0.4 * double(i)};
        addCrystalSpike(&edgeSides, &edgeTips, axes[i], shape);
        addCrystalSpike(&glassSides, &glassTips, axes[i], shape);
    }
    GenMesh glow("#$sn11_glow");
    addGlowStar(glow, 6.0);
    e.meshes = {edgeSides, edgeTips, glassSides, glassTips, glow};

    const Colour edge{0.86, 0.74, 1.0};
    content.images.push_back({"sn11_edge_side", paintQuadFrame(64, 5.0, edge)});
    content.images.push_back({"sn11_edge_tip", paintTriangleFrame(64, 4.0, edge)});
    content.images.push_back({"#$sn11_glass_side", paintGlass(64, {0.55, 0.2, 0.85}, false)});
    content.images.push_back({"#$sn11_glass_tip", paintGlass(64, {0.75, 0.3, 0.95}, true)});
    content.images.push_back({"#$sn11_glow", paintGlow(64, {1.0, 0.3, 0.75})});
    return e;
}

// "sn12", the knot: a trefoil tube painted by a live plasma in full
// wrap-around colour, inside a sphere cage that shows only the plasma's
// flowing contour bands and grid, with an amber halo ring around it.
ContentEntry knot(Content& content) {
    ContentEntry e{"sn12", {}};
    content.plasmas.push_back(makePlasma('#', 128, 128, 60, 20, 140));
    GenMesh tube(content.plasmas.back().name);
    addTorusKnot(tube, 2, 3, 8.0, 3.2, 1.7, 96, 7, 6.0);
    content.plasmas.push_back(makePlasma('x', 128, 128, 255, 170, 40));
    GenMesh cage(content.plasmas.back().name);
    addUvSphere(cage, 15.0, 16, 10);
    GenMesh halo("#$sn12_halo");
    addAnnulus(halo, 10.5, 15.2, 64, 4.0);
    e.meshes = {tube, cage, halo};

    content.images.push_back({"#$sn12_halo", paintHalo(32, 64, {1.0, 0.62, 0.2})});
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
