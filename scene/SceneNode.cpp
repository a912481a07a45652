#include "scene/SceneNode.h"

#include <GL/gl.h>

#include <algorithm>

#include "assets/ResourceCache.h"

SceneNode::SceneNode() { sequencer.animator = &animator; }

void SceneNode::addChild(SceneNode* child) { children.push_back(child); }

void SceneNode::loadMeshes(const char* archiveName, const char* entryName) {
    const EntryBytes entry = resourceCache.getEntry(archiveName, entryName);
    meshCount += readMeshEntry(entry, archiveName, meshes);
    meshesLoaded = true;
}

void SceneNode::drawMeshes() const {
    // meshCount and meshes grow together; the bound keeps a hand-set count
    // from reading past the array.
    const std::size_t n = std::min(meshes.size(), static_cast<std::size_t>(std::max<std::int32_t>(meshCount, 0)));
    for (std::size_t i = 0; i < n; ++i) meshes[i].draw();
}

void SceneNode::draw() {
    glPushMatrix();
    transform.applyTranslateRotate();
    animator.update();
    if (meshesLoaded) {
        if (transform.isScaled()) {
            // The scale is for this node's meshes only, never its children.
            glPushMatrix();
            transform.applyScale();
            drawMeshes();
            glPopMatrix();
        } else {
            drawMeshes();
        }
    }
    for (SceneNode* child : children) child->draw();
    glPopMatrix();
}
