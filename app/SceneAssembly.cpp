#include "app/SceneAssembly.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

#include "anim/Action_rev.h"
#include "anim/Action_rot.h"
#include "scene/SceneNode.h"
#include "settings/Settings.h"

SceneNode* sceneRoot = nullptr;

namespace {
const char* const kArchive = "main.pak";
const char* const kMeshNames[3] = {"sn1", "sn11", "sn12"};

enum Axis { kAxisY = 1, kAxisZ = 2 };

// The shapes in build order. The hub (row 4) is not a shape: it has no mesh,
// no scale and no spins.
struct ShapeRow {
    int parent;  // index into this table, -1 for the root
    double scale;
    bool positioned;
    double x, y, z;
};
constexpr int kRoot = -1;
constexpr int kNestOuter = 0, kSquareHub = 3, kCubeCentre = 8;
const ShapeRow kRows[17] = {
    {kRoot, 0.9, false, 0, 0, 0},                   // nest outer
    {0, 0.45, false, 0, 0, 0},                      // nest middle
    {1, 0.2, false, 0, 0, 0},                       // nest inner
    {kRoot, 0.0, false, 0, 0, 0},                   // square hub
    {3, 0.35, true, 12.5, 12.5, 0},                 // square corner 1
    {3, 0.35, true, 12.5, -12.5, 0},                // square corner 2
    {3, 0.35, true, -12.5, -12.5, 0},               // square corner 3
    {3, 0.35, true, -12.5, 12.5, 0},                // square corner 4
    {kRoot, 0.34, false, 0, 0, 0},                  // cube centre
    {8, 0.2, true, 12.5, 12.5, 12.5},               // cube corner 1
    {8, 0.2, true, 12.5, -12.5, 12.5},              // cube corner 2
    {8, 0.2, true, -12.5, 12.5, 12.5},              // cube corner 3
    {8, 0.2, true, -12.5, -12.5, 12.5},             // cube corner 4
    {8, 0.2, true, 12.5, 12.5, -12.5},              // cube corner 5
    {8, 0.2, true, 12.5, -12.5, -12.5},             // cube corner 6
    {8, 0.2, true, -12.5, 12.5, -12.5},             // cube corner 7
    {8, 0.2, true, -12.5, -12.5, -12.5},            // cube corner 8
};
}  // namespace

template <class T, class... Args>
T* Scene::create(Args&&... args) {
    T* object = new T(std::forward<Args>(args)...);
    created.push_back(Owned{object, [](void* p) { delete static_cast<T*>(p); }});
    return object;
}

Scene::~Scene() {
    if (sceneRoot == root) sceneRoot = nullptr;
    delete root;
    for (auto it = created.rbegin(); it != created.rend(); ++it) it->destroy(it->object);
}

std::unique_ptr<Scene> assembleScene(const Settings& settings) {
    std::unique_ptr<Scene> scene(new Scene);
    scene->root = new SceneNode;
    sceneRoot = scene->root;

    const double spinRate = Settings::spinDegreesPerSecond(settings.spinLevel());

    sceneRoot->transform.setPosition(0.0, 0.0, 10.0);
    sceneRoot->transform.setRotation(0.0, 0.0, 0.0);

    for (int i = 0; i < 17; ++i) {
        const ShapeRow& row = kRows[i];
        SceneNode* node = scene->create<SceneNode>();
        scene->nodeList.push_back(node);
        if (i != kSquareHub) {
            node->transform.setScale(row.scale, row.scale, row.scale);
            if (row.positioned) node->transform.setPosition(row.x, row.y, row.z);
            const int r = std::rand();
            node->loadMeshes(kArchive, kMeshNames[r % 3]);
            node->sequencer.addStep();
            Action_rot* spinZ = scene->create<Action_rot>(1, true, 0.0);
            spinZ->setup(kAxisZ, spinRate, 0.0);
            Action_rot* spinY = scene->create<Action_rot>(1, true, 0.0);
            spinY->setup(kAxisY, spinRate, 0.0);
            scene->spinList.push_back(spinZ);
            scene->spinList.push_back(spinY);
            node->sequencer.addAction(spinZ);
            node->sequencer.addAction(spinY);
            node->sequencer.runStep(0);
        }
        if (row.parent != kRoot) scene->nodeList[row.parent]->addChild(node);
    }

    // The three groups take turns: each draws one of the slots still free.
    int32_t slotPool[3] = {1, 2, 3};
    int32_t slotsLeft = 3;
    for (int head : {kNestOuter, kSquareHub, kCubeCentre}) {
        SceneNode* node = scene->nodeList[head];
        const int32_t step = node->sequencer.addStep() - 1;
        Action_rev* show = scene->create<Action_rev>(1, true, 0.0);
        scene->showList.push_back(show);
        const int32_t i = std::rand() % slotsLeft;
        const int32_t slot = slotPool[i];
        for (int32_t k = i; k + 1 < slotsLeft; ++k) slotPool[k] = slotPool[k + 1];
        --slotsLeft;
        show->setup(settings.phaseSeconds() * 3000, 3, slot);
        node->sequencer.addAction(show);
        node->sequencer.runStep(step);
    }

    sceneRoot->addChild(scene->nodeList[kNestOuter]);
    sceneRoot->addChild(scene->nodeList[kSquareHub]);
    sceneRoot->addChild(scene->nodeList[kCubeCentre]);
    return scene;
}
