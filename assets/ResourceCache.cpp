#include "assets/ResourceCache.h"

ResourceCache::ResourceCache() : basePath_("0") {}

ResourceCache::~ResourceCache() {
    for (Archive* a : archives_) delete a;
}

void ResourceCache::setBasePath(const char* path) { basePath_ = path; }

long ResourceCache::find(const char* name) const {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        if (names_[i] == name) return static_cast<long>(i);
    }
    return -1;
}

std::int32_t ResourceCache::referenceCount(const char* name) const {
    const long i = find(name);
    return i < 0 ? 0 : refCounts_[static_cast<std::size_t>(i)];
}

Archive* ResourceCache::acquire(const char* name) {
    const long found = find(name);
    if (found >= 0) {
        const auto i = static_cast<std::size_t>(found);
        ++refCounts_[i];
        return archives_[i];
    }
    const std::string path = (!basePath_.empty() && basePath_[0] == '0') ? std::string(name) : basePath_ + name;
    Archive* archive = new Archive(path.c_str());  // exits the process if the file cannot be opened
    archives_.push_back(archive);
    names_.push_back(name);
    refCounts_.push_back(1);
    return archive;
}

void ResourceCache::release(const char* name) {
    const long found = find(name);
    if (found < 0) return;
    const auto i = static_cast<std::size_t>(found);
    if (--refCounts_[i] > 0) return;
    delete archives_[i];
    archives_.erase(archives_.begin() + found);
    names_.erase(names_.begin() + found);
    refCounts_.erase(refCounts_.begin() + found);
}

EntryBytes ResourceCache::getEntry(const char* archiveName, const char* entryName) {
    return acquire(archiveName)->getEntry(entryName);
}

std::uint32_t ResourceCache::getTexture(const char* archiveName, const char* entryName) {
    return acquire(archiveName)->getTexture(entryName);
}
