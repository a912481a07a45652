// The three process-wide objects, defined together so that they are built in
// this order before the entry runs (and destroyed in the reverse order at
// exit): the archive cache, the procedural texture cache, and the
// installation directory read from the registry.
#include "assets/ResourceCache.h"
#include "settings/RegistryValue.h"
#include "texgen/TexturegenCache.h"

ResourceCache resourceCache;
TexturegenCache texturegenCache;
RegistryValue pathSetting("Software\\Quorvane\\Calvetrin\\Settings", "Path");
