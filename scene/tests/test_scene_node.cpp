// SceneNode: the order of its OpenGL calls, how animation advances while it
// draws, and which meshes loadMeshes appends.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "anim/Action_rot.h"
#include "assets/Archive.h"
#include "assets/MeshEntryWriter.h"
#include "scene/SceneNode.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"

namespace {
// A mesh that draws no triangles; its bound texture name tells it apart.
Mesh markedMesh(std::uint32_t texture) {
    Mesh m;
    m.texture = texture;
    return m;
}

void giveMeshes(SceneNode& node, std::initializer_list<std::uint32_t> textures) {
    for (std::uint32_t t : textures) node.meshes.push_back(markedMesh(t));
    node.meshCount += static_cast<std::int32_t>(textures.size());
    node.meshesLoaded = true;
}

// The calls of one draw, with each mesh's calls folded into "mesh N".
std::vector<std::string> drawOutline(SceneNode& node) {
    glrec::reset();
    node.draw();
    std::vector<std::string> out;
    for (const glrec::Call& c : glrec::calls()) {
        if (c.name == "glBindTexture") out.push_back("mesh " + std::to_string(int(c.args[1])));
        else if (c.name == "glPushMatrix" || c.name == "glPopMatrix" || c.name == "glTranslatef" ||
                 c.name == "glRotatef" || c.name == "glScaled")
            out.push_back(c.text());
    }
    return out;
}
}  // namespace

TEST(SceneNode, BareNodeIssuesItsPlacementAndTheAnimatorsAndNothingElse) {
    fakeclock::set(0);
    SceneNode node;
    EXPECT_EQ(node.sequencer.animator, &node.animator);
    glrec::reset();
    node.draw();
    EXPECT_EQ(glrec::texts(), (std::vector<std::string>{"glPushMatrix()", "glTranslatef(0, 0, 0)",
                                                        "glTranslatef(0, 0, 0)", "glPopMatrix()"}));
}

TEST(SceneNode, ScaleAppliesToOwnMeshesOnlyAndChildrenFollowPlacementAndAnimation) {
    fakeclock::set(0);
    SceneNode parent, child, unloaded;
    parent.transform.setScale(0.9, 0.9, 0.9);
    parent.transform.setPosition(1, 2, 3);
    parent.transform.setRotation(0, 0, 30);
    giveMeshes(parent, {7, 8});
    giveMeshes(child, {9});
    unloaded.meshes.push_back(markedMesh(10));  // present but not marked loaded
    unloaded.meshCount = 1;
    parent.addChild(&child);
    parent.addChild(&unloaded);

    Action_rot spin(1, true, 0.0);
    spin.setup(0, 1000.0, 0.0);  // one degree per millisecond about X
    parent.sequencer.addStep();
    parent.sequencer.addAction(&spin);
    parent.sequencer.runStep(0);
    fakeclock::set(5);

    EXPECT_EQ(drawOutline(parent), (std::vector<std::string>{
                                       "glPushMatrix()",
                                       "glTranslatef(1, 2, 3)",
                                       "glRotatef(30, 0, 0, 1)",
                                       "glTranslatef(0, 0, 0)",
                                       "glRotatef(5, 1, 0, 0)",  // the animator's placement
                                       "glPushMatrix()",
                                       "glScaled(0.9, 0.9, 0.9)",
                                       "mesh 7",
                                       "mesh 8",
                                       "glPopMatrix()",
                                       "glPushMatrix()",  // child: no scale of its own or inherited
                                       "glTranslatef(0, 0, 0)",
                                       "glTranslatef(0, 0, 0)",
                                       "mesh 9",
                                       "glPopMatrix()",
                                       "glPushMatrix()",  // unloaded: no meshes drawn
                                       "glTranslatef(0, 0, 0)",
                                       "glTranslatef(0, 0, 0)",
                                       "glPopMatrix()",
                                       "glPopMatrix()",
                                   }));
}

TEST(SceneNode, ChildAddedTwiceIsDrawnAndAnimatedTwice) {
    fakeclock::set(0);
    SceneNode parent, child;
    parent.addChild(&child);
    parent.addChild(&child);
    Action_rot spin(1, true, 0.0);
    spin.setup(1, 1000.0, 0.0);
    child.animator.add(&spin);
    fakeclock::set(20);
    glrec::reset();
    parent.draw();
    // One clock read per animator update: the parent's and the child's two.
    EXPECT_EQ(fakeclock::reads(), 3u);
    // The first draw takes the 20 ms; the second, at the same tick, adds 0.
    const std::vector<std::string> texts = glrec::texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "glRotatef(20, 0, 1, 0)"), 2);
    EXPECT_EQ(spin.elapsed, 20.0);
    fakeclock::set(50);
    parent.draw();
    EXPECT_EQ(spin.elapsed, 50.0);
}

namespace {
// A mesh entry of `count` one-triangle meshes; mesh i's first vertex has
// x = first + i, which identifies it in the recorded glVertex3d calls.
std::vector<unsigned char> entryOf(int count, int first) {
    std::vector<MeshData> meshes;
    for (int i = 0; i < count; ++i) {
        MeshData m;
        m.textureName = "#t";  // no such entry: texture 0, no decoding
        m.positions = {double(first + i), 0, 0, 0, 1, 0, 0, 0, 1};
        m.texCoords = {0, 0, 1, 0, 0, 1};
        meshes.push_back(m);
    }
    return buildMeshEntry(meshes);
}

class LoadMeshes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<unsigned char> two = entryOf(2, 100), three = entryOf(3, 200);
        ASSERT_FALSE(two.empty());
        ASSERT_EQ(two[0], 0);
        // The same content behind a 0xFF header with an arbitrary 4-byte
        // value, and behind another header byte with no value.
        std::vector<unsigned char> threeLong = three;
        threeLong[0] = 0xFF;
        threeLong.insert(threeLong.begin() + 1, {0xDE, 0xAD, 0xBE, 0xEF});
        std::vector<unsigned char> threeOther = three;
        threeOther[0] = 0x7F;
        std::vector<unsigned char> none = buildMeshEntry({});
        std::vector<unsigned char> truncated(three.begin(), three.end() - 1);
        const unsigned char negative[] = {0, 0xFF, 0xFF, 0xFF, 0xFF};

        Archive pak;
        pak.addMemory("two", two.data(), std::int32_t(two.size()));
        pak.addMemory("three", three.data(), std::int32_t(three.size()));
        pak.addMemory("threeLong", threeLong.data(), std::int32_t(threeLong.size()));
        pak.addMemory("threeOther", threeOther.data(), std::int32_t(threeOther.size()));
        pak.addMemory("none", none.data(), std::int32_t(none.size()));
        pak.addMemory("truncated", truncated.data(), std::int32_t(truncated.size()));
        pak.addMemory("negative", negative, sizeof negative);
        pak.addMemory("headerOnly", negative, 1);
        path() = ::testing::TempDir() + "scene_node_meshes.pak";
        ASSERT_TRUE(pak.save(path().c_str()));
    }
    static std::string& path() {
        static std::string p;
        return p;
    }
    // First x of every triangle drawn, in order.
    static std::vector<double> drawnMeshes(SceneNode& node) {
        glrec::reset();
        node.draw();
        std::vector<double> xs;
        int vertex = 0;
        for (const glrec::Call& c : glrec::calls())
            if (c.name == "glVertex3d" && vertex++ % 3 == 0) xs.push_back(c.args[0]);
        return xs;
    }
    void SetUp() override { fakeclock::set(0); }
};
}  // namespace

TEST_F(LoadMeshes, SecondEntryIsAppendedAfterTheFirst) {
    SceneNode node;
    node.loadMeshes(path().c_str(), "two");
    EXPECT_TRUE(node.meshesLoaded);
    EXPECT_EQ(node.meshCount, 2);
    node.loadMeshes(path().c_str(), "three");
    EXPECT_EQ(node.meshCount, 5);
    EXPECT_EQ(node.meshes.size(), 5u);
    EXPECT_EQ(drawnMeshes(node), (std::vector<double>{100, 101, 200, 201, 202}));
}

TEST_F(LoadMeshes, HeaderByteOnlyDecidesWhetherALengthFollows) {
    SceneNode plain, longHeader, other;
    plain.loadMeshes(path().c_str(), "three");
    longHeader.loadMeshes(path().c_str(), "threeLong");
    other.loadMeshes(path().c_str(), "threeOther");
    EXPECT_EQ(drawnMeshes(plain), (std::vector<double>{200, 201, 202}));
    const std::vector<std::string> expected = glrec::texts();
    EXPECT_EQ(longHeader.meshCount, 3);
    EXPECT_EQ(other.meshCount, 3);
    drawnMeshes(longHeader);
    EXPECT_EQ(glrec::texts(), expected);
    drawnMeshes(other);
    EXPECT_EQ(glrec::texts(), expected);
}

TEST_F(LoadMeshes, EmptyAbsentOrMalformedEntriesAddNoMeshButNodeStillDraws) {
    for (const char* entry : {"none", "absent", "truncated", "negative", "headerOnly"}) {
        SCOPED_TRACE(entry);
        SceneNode node, child;
        node.transform.setScale(2, 2, 2);
        node.addChild(&child);
        child.loadMeshes(path().c_str(), "two");
        node.loadMeshes(path().c_str(), entry);
        EXPECT_TRUE(node.meshesLoaded);
        EXPECT_EQ(node.meshCount, 0);
        EXPECT_TRUE(node.meshes.empty());
        // Only the child's meshes appear; the node keeps its (empty) scaled block.
        EXPECT_EQ(drawnMeshes(node), (std::vector<double>{100, 101}));
        EXPECT_EQ(glrec::count("glScaled"), 1u);
        // A later good entry still lands at index 0.
        node.loadMeshes(path().c_str(), "three");
        EXPECT_EQ(node.meshCount, 3);
    }
}
