// The assembled scene: its shape, placements, actions, turns and random
// choices, built against a small archive whose three mesh entries are told
// apart by their texture names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <unistd.h>

#include "anim/Action_rev.h"
#include "anim/Action_rot.h"
#include "app/SceneAssembly.h"
#include "assets/Archive.h"
#include "assets/MeshEntryWriter.h"
#include "assets/ResourceCache.h"
#include "scene/SceneNode.h"
#include "settings/Settings.h"
#include "tests/doubles/fake_clock.h"
#include "tests/doubles/gl_recorder.h"

namespace {

const char* const kEntries[3] = {"sn1", "sn11", "sn12"};

// A main.pak in a private directory, made once for the whole test program;
// the global resource cache then keeps it open, as in a real run.
void installArchiveOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    const auto dir = std::filesystem::temp_directory_path() / ("calvetrin-assembly-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    Archive pak;
    for (const char* entry : kEntries) {
        MeshData mesh;
        mesh.textureName = std::string("tex-") + entry;  // no such image: texture 0
        mesh.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0};
        mesh.texCoords = {0, 0, 1, 0, 0, 1};
        const std::vector<unsigned char> bytes = buildMeshEntry({mesh});
        ASSERT_TRUE(pak.addMemory(entry, bytes.data(), static_cast<int32_t>(bytes.size())));
    }
    ASSERT_TRUE(pak.save((dir / "main.pak").c_str()));
    resourceCache.setBasePath((dir.string() + "/").c_str());
}

// Which entry a shape node shows, from its one mesh's texture name.
std::string entryOf(const SceneNode* node) {
    if (node->meshCount != 1) return "<" + std::to_string(node->meshCount) + " meshes>";
    return std::string(node->meshes[0].textureName).substr(4);
}

struct Built {
    std::unique_ptr<Scene> scene;
    std::vector<std::string> entries;  // per shape node, build order
    std::vector<int32_t> slots;        // nest, square, cube
};

Built build(unsigned seed, const Settings& settings = Settings()) {
    installArchiveOnce();
    fakeclock::set(1000);
    std::srand(seed);
    Built b;
    b.scene = assembleScene(settings);
    for (SceneNode* node : b.scene->nodes())
        if (node->meshesLoaded) b.entries.push_back(entryOf(node));
    for (Action_rev* show : b.scene->shows())
        b.slots.push_back(show->period / 3 ? show->windowEnd / (show->period / 3) : -1);
    return b;
}

const SceneNode* node(const Built& b, int i) { return b.scene->nodes()[i]; }

}  // namespace

TEST(SceneAssembly, TreeOfEighteenNodesWithTheFixedPlacements) {
    Built b = build(7);
    ASSERT_EQ(sceneRoot->children.size(), 3u);
    EXPECT_EQ(sceneRoot->children[0], node(b, 0));
    EXPECT_EQ(sceneRoot->children[1], node(b, 3));
    EXPECT_EQ(sceneRoot->children[2], node(b, 8));
    EXPECT_EQ(sceneRoot->transform.position.z, 10.0);
    EXPECT_FALSE(sceneRoot->transform.isScaled());
    EXPECT_FALSE(sceneRoot->meshesLoaded);

    // Count the tree by walking it: 18 nodes including the root.
    std::function<int(const SceneNode*)> countNodes = [&](const SceneNode* n) {
        int total = 1;
        for (const SceneNode* c : n->children) total += countNodes(c);
        return total;
    };
    EXPECT_EQ(countNodes(sceneRoot), 18);

    EXPECT_EQ(node(b, 0)->children, std::vector<SceneNode*>{b.scene->nodes()[1]});
    EXPECT_EQ(node(b, 1)->children, std::vector<SceneNode*>{b.scene->nodes()[2]});
    EXPECT_EQ(node(b, 3)->children.size(), 4u);
    EXPECT_EQ(node(b, 8)->children.size(), 8u);

    const double scales[17] = {0.9, 0.45, 0.2, 0, 0.35, 0.35, 0.35, 0.35, 0.34, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2, 0.2};
    for (int i = 0; i < 17; ++i) {
        SCOPED_TRACE(i);
        if (i == 3) {
            // The square hub: no scale, no meshes, only its show.
            EXPECT_FALSE(node(b, i)->transform.isScaled());
            EXPECT_FALSE(node(b, i)->meshesLoaded);
            EXPECT_EQ(node(b, i)->sequencer.stepCount(), 1);
            continue;
        }
        EXPECT_TRUE(node(b, i)->transform.isScaled());
        EXPECT_EQ(node(b, i)->transform.scale.x, scales[i]);
        EXPECT_EQ(node(b, i)->transform.scale.z, scales[i]);
        EXPECT_EQ(node(b, i)->sequencer.stepCount(), (i == 0 || i == 8) ? 2 : 1);
    }
    EXPECT_EQ(node(b, 5)->transform.position.y, -12.5);
    EXPECT_EQ(node(b, 7)->transform.position.x, -12.5);
    EXPECT_EQ(node(b, 13)->transform.position.z, -12.5);
    EXPECT_EQ(node(b, 12)->transform.position.x, -12.5);
    EXPECT_EQ(node(b, 12)->transform.position.y, -12.5);
    EXPECT_EQ(node(b, 12)->transform.position.z, 12.5);
}

TEST(SceneAssembly, EveryShapeSpinsAboutZThenYAndTheHeadsShow) {
    Built b = build(11);
    ASSERT_EQ(b.scene->spins().size(), 32u);
    ASSERT_EQ(b.scene->shows().size(), 3u);
    int spin = 0;
    for (int i = 0; i < 17; ++i) {
        if (i == 3) continue;
        SCOPED_TRACE(i);
        const std::vector<Action*>& actions = node(b, i)->animator.actions;
        const bool head = i == 0 || i == 8;
        ASSERT_EQ(actions.size(), head ? 3u : 2u);
        EXPECT_EQ(actions[0], b.scene->spins()[spin]);
        EXPECT_EQ(actions[1], b.scene->spins()[spin + 1]);
        EXPECT_EQ(b.scene->spins()[spin]->axis, 2);
        EXPECT_EQ(b.scene->spins()[spin + 1]->axis, 1);
        if (head) {
            EXPECT_EQ(actions[2], b.scene->shows()[i == 0 ? 0 : 2]);
        }
        spin += 2;
    }
    ASSERT_EQ(node(b, 3)->animator.actions.size(), 1u);
    EXPECT_EQ(node(b, 3)->animator.actions[0], b.scene->shows()[1]);
}

TEST(SceneAssembly, SpinRateFollowsTheSpinLevel) {
    for (auto [level, rate] : {std::pair{3, 7.0}, std::pair{5, 8.0}, std::pair{7, 9.0}, std::pair{0, 5.5}}) {
        Settings settings;
        settings.setSpinLevel(level);
        Built b = build(3, settings);
        for (Action_rot* spin : b.scene->spins()) {
            EXPECT_EQ(spin->rate, rate) << "level " << level;
            EXPECT_EQ(spin->phase, 0.0);
        }
    }
}

TEST(SceneAssembly, TheThreeGroupsHoldTheThreeSlotsOfOneCycle) {
    Settings settings;
    settings.setPhaseSeconds(1);
    for (unsigned seed = 1; seed <= 20; ++seed) {
        Built b = build(seed, settings);
        std::set<int32_t> slots(b.slots.begin(), b.slots.end());
        EXPECT_EQ(slots, (std::set<int32_t>{1, 2, 3})) << "seed " << seed;
        for (Action_rev* show : b.scene->shows()) EXPECT_EQ(show->period, 3000);
    }
    Built defaults = build(5);
    for (Action_rev* show : defaults.scene->shows()) EXPECT_EQ(show->period, 45000);
}

TEST(SceneAssembly, TheSameSeedBuildsTheSameSceneAndDrawsNineteenNumbers) {
    Built a = build(1234);
    const int afterA = std::rand();
    Built b = build(1234);
    const int afterB = std::rand();
    EXPECT_EQ(a.entries, b.entries);
    EXPECT_EQ(a.slots, b.slots);
    EXPECT_EQ(afterA, afterB);

    // The sixteen entry draws come first, in build order, then the three slot
    // draws: replaying the generator predicts every choice.
    std::srand(1234);
    std::vector<std::string> expected;
    for (int i = 0; i < 16; ++i) expected.push_back(kEntries[std::rand() % 3]);
    int pool[3] = {1, 2, 3}, left = 3;
    std::vector<int32_t> expectedSlots;
    for (int g = 0; g < 3; ++g) {
        int i = std::rand() % left;
        expectedSlots.push_back(pool[i]);
        for (int k = i; k + 1 < left; ++k) pool[k] = pool[k + 1];
        --left;
    }
    EXPECT_EQ(a.entries, expected);
    EXPECT_EQ(a.slots, expectedSlots);
    EXPECT_EQ(afterA, std::rand());

    // Different seeds do not all give the same choices.
    std::set<std::vector<std::string>> seen;
    for (unsigned seed = 1; seed <= 10; ++seed) seen.insert(build(seed).entries);
    EXPECT_GT(seen.size(), 1u);
}

TEST(SceneAssembly, OnlyTheGroupInItsTurnIsInPlace) {
    Settings settings;
    settings.setPhaseSeconds(1);
    Built b = build(99, settings);
    const SceneNode* heads[3] = {node(b, 0), node(b, 3), node(b, 8)};
    // Draw the scene at several times of the 3000 ms cycle; the head whose
    // slot covers the time is at the origin, the others far away.
    fakeclock::set(1000);
    for (uint32_t t : {500u, 1500u, 2500u, 3500u, 4500u}) {
        fakeclock::set(1000 + t);
        glrec::reset();
        sceneRoot->draw();
        const int32_t slot = static_cast<int32_t>(t % 3000) / 1000 + 1;
        for (int g = 0; g < 3; ++g) {
            const bool shown = b.slots[g] == slot;
            EXPECT_EQ(heads[g]->animator.frameTransform.position.x, shown ? 0.0 : 9000.0)
                << "t " << t << " group " << g;
        }
    }
}
