// An element of the scene tree: a fixed placement, an Animator whose actions
// add a time-driven placement on top of it, a Sequencer that hands prepared
// actions to that animator, meshes read from an archive entry, and child
// nodes that inherit the node's placement (but not its scale).
//
// Drawing the root draws the whole tree and, on the way, advances every
// node's animation to the current tick: there is no separate animation pass.
// A node does not own its children; the creator keeps every node alive while
// the tree is drawn.
//
//   SceneNode node;
//   node.transform.setScale(0.9, 0.9, 0.9);
//   node.loadMeshes("main.pak", "sn1");
//   node.sequencer.addStep();
//   node.sequencer.addAction(&spinZ);
//   node.sequencer.runStep(0);
//   root.addChild(&node);
//   root.draw();   // once per frame
#pragma once

#include <cstdint>
#include <vector>

#include "anim/Animator.h"
#include "anim/Sequencer.h"
#include "assets/Mesh.h"
#include "scene/Transform.h"

class SceneNode {
public:
    // Binds the sequencer to this node's animator, so the node can be neither
    // copied nor moved.
    SceneNode();
    SceneNode(const SceneNode&) = delete;
    SceneNode& operator=(const SceneNode&) = delete;

    // Appends without any check: a node added twice is drawn twice.
    void addChild(SceneNode* child);
    // Reads one mesh entry through resourceCache and appends its meshes after
    // any loaded before. An absent or malformed entry adds no mesh; the node
    // is still marked loaded and draws as before (its children included).
    void loadMeshes(const char* archiveName, const char* entryName);
    // Push, own placement, animator update, own meshes (under the node's
    // scale when one was set), children, pop.
    void draw();

    Transform transform;
    Animator animator;
    Sequencer sequencer;
    std::vector<Mesh> meshes;
    std::int32_t meshCount = 0;
    bool meshesLoaded = false;
    std::vector<SceneNode*> children;  // not owned

private:
    void drawMeshes() const;
};
