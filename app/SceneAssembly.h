// The fixed scene of a full-screen run: a root and three phase groups -- a
// nest of three shapes, a square of four around an empty hub, a cube of eight
// around a ninth -- that take turns in view, every shape spinning about its Z
// and Y axes, each shape's mesh entry drawn at random from "sn1", "sn11" and
// "sn12" of "main.pak".
//
// assembleScene needs an open Display (mesh loading uploads textures) and a
// seeded rand(); it calls rand() exactly nineteen times, so the same seed
// builds the same scene. It sets sceneRoot and returns the Scene that owns
// every node and action for the whole run; destroying the Scene destroys the
// root first, then the other objects in the reverse order of their creation.
//
//   srand(time(nullptr));
//   std::unique_ptr<Scene> scene = assembleScene(*settings);
//   runLoop(*settings);
#pragma once

#include <memory>
#include <vector>

class Action_rev;
class Action_rot;
class SceneNode;
class Settings;

extern SceneNode* sceneRoot;

class Scene {
public:
    Scene() = default;
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The seventeen nodes below the root, in build order: nest outer, middle,
    // inner; square hub, corners 1-4; cube centre, corners 1-8.
    const std::vector<SceneNode*>& nodes() const { return nodeList; }
    // The two spins of every shape (Z then Y), in build order.
    const std::vector<Action_rot*>& spins() const { return spinList; }
    // The show actions of nest outer, square hub and cube centre.
    const std::vector<Action_rev*>& shows() const { return showList; }

private:
    friend std::unique_ptr<Scene> assembleScene(const Settings& settings);

    template <class T, class... Args>
    T* create(Args&&... args);

    struct Owned {
        void* object;
        void (*destroy)(void*);
    };
    SceneNode* root = nullptr;
    std::vector<Owned> created;  // everything but the root, in creation order
    std::vector<SceneNode*> nodeList;
    std::vector<Action_rot*> spinList;
    std::vector<Action_rev*> showList;
};

std::unique_ptr<Scene> assembleScene(const Settings& settings);

// The radius, about its own origin, that a model (a mesh entry) is made for.
// At the scales and positions above it lets the nest's outer shape fill about
// three quarters of the screen height, and keeps the square's corner shapes
// and the cube's shapes clear of one another whichever entry lands where.
constexpr double kModelRadius = 30.0;
