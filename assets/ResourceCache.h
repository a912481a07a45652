// The one door to archive content: opens each archive file once, on first
// request, keeps it under the file name it was asked for, and counts
// references to it. The process-wide instance is resourceCache.
//
//   resourceCache.setBasePath("/opt/calvetrin/");        // before any request
//   EntryBytes e = resourceCache.getEntry("main.pak", "sn1");
//   std::uint32_t tex = resourceCache.getTexture("main.pak", "stone.png");
//
// File names are resolved against the base path by plain concatenation (no
// separator is inserted); a base path whose first character is the digit
// zero means "no base path", and names are then used as they are. An archive
// file that cannot be opened ends the process with exit status 1 (see
// Archive).
#pragma once

#include "assets/Archive.h"

#include <cstdint>
#include <string>
#include <vector>

class ResourceCache {
public:
    ResourceCache();
    // Destroys the archives still held (nothing may use their bytes after the
    // cache is gone).
    ~ResourceCache();
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    void setBasePath(const char* path);

    // The archive requested as `name`, opened on the first request; each call
    // counts one reference.
    Archive* acquire(const char* name);

    // Gives back one reference; the last one destroys the archive and forgets
    // the name. A name that is not open is ignored.
    void release(const char* name);

    // acquire(archiveName), then the entry or texture of that archive. Each
    // call counts one reference. Absent entries give {nullptr, 0} or 0.
    EntryBytes getEntry(const char* archiveName, const char* entryName);
    std::uint32_t getTexture(const char* archiveName, const char* entryName);

    // Read-only views for tests and diagnostics.
    const std::string& basePath() const { return basePath_; }
    std::size_t openCount() const { return archives_.size(); }
    // The reference count of the archive requested as `name`; 0 if not open.
    std::int32_t referenceCount(const char* name) const;

private:
    long find(const char* name) const;

    // Index-aligned, in order of first request.
    std::string basePath_;
    std::vector<Archive*> archives_;
    std::vector<std::string> names_;
    std::vector<std::int32_t> refCounts_;
};

extern ResourceCache resourceCache;
