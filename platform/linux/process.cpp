// Starting programs, the executable's own path, and the few file operations
// needed to replace a file safely, over POSIX.
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"

extern char** environ;

namespace {

// Children started here that have not been seen to end yet. Each call to
// CreateProcessA collects those that have ended, so none lingers as a zombie
// for long; a child still running when the caller exits is handed to init.
std::vector<pid_t>& startedChildren() {
    static std::vector<pid_t> children;
    return children;
}

void collectEndedChildren() {
    auto& children = startedChildren();
    for (std::size_t i = 0; i < children.size();) {
        int status = 0;
        pid_t result = waitpid(children[i], &status, WNOHANG);
        if (result == 0) {
            ++i;  // still running
        } else {
            // Ended and now collected, or already collected by someone else.
            children[i] = children.back();
            children.pop_back();
        }
    }
}

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    std::vector<char> buffer(PATH_MAX);
    if (getcwd(buffer.data(), buffer.size()) == nullptr) return path;
    return std::string(buffer.data()) + "/" + path;
}

// A Windows environment block: "A=1\0B=2\0\0".
std::vector<std::string> environmentTexts(const char* block) {
    std::vector<std::string> texts;
    while (*block != '\0') {
        texts.emplace_back(block);
        block += texts.back().size() + 1;
    }
    return texts;
}

int descriptorOf(HANDLE handle) {
    auto value = reinterpret_cast<std::intptr_t>(handle);
    return value > 0 && value <= INT_MAX ? static_cast<int>(value - 1) : -1;
}

}  // namespace

BOOL CreateProcessA(LPCSTR applicationName, LPSTR /*commandLine*/, SECURITY_ATTRIBUTES* /*processAttributes*/,
                    SECURITY_ATTRIBUTES* /*threadAttributes*/, BOOL /*inheritHandles*/, DWORD /*creationFlags*/,
                    LPVOID environment, LPCSTR currentDirectory, STARTUPINFOA* /*startupInfo*/,
                    PROCESS_INFORMATION* processInformation) {
    collectEndedChildren();
    if (applicationName == nullptr || *applicationName == '\0') return FALSE;

    // Resolve against the caller's directory before the child changes its own.
    std::string program = absolutePath(applicationName);
    struct stat info {};
    if (stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || access(program.c_str(), X_OK) != 0) {
        return FALSE;
    }
    if (currentDirectory != nullptr) {
        if (stat(currentDirectory, &info) != 0 || !S_ISDIR(info.st_mode)) return FALSE;
    }

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return FALSE;
    if (currentDirectory != nullptr && posix_spawn_file_actions_addchdir_np(&actions, currentDirectory) != 0) {
        posix_spawn_file_actions_destroy(&actions);
        return FALSE;
    }

    std::vector<std::string> envTexts;
    std::vector<char*> envp;
    char** childEnvironment = environ;
    if (environment != nullptr) {
        envTexts = environmentTexts(static_cast<const char*>(environment));
        for (auto& text : envTexts) envp.push_back(&text[0]);
        envp.push_back(nullptr);
        childEnvironment = envp.data();
    }

    std::string name = applicationName;
    char* argv[] = {&name[0], nullptr};
    pid_t pid = 0;
    int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, childEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return FALSE;

    startedChildren().push_back(pid);
    if (processInformation != nullptr) {
        processInformation->hProcess = nullptr;
        processInformation->hThread = nullptr;
        processInformation->dwProcessId = static_cast<DWORD>(pid);
        processInformation->dwThreadId = static_cast<DWORD>(pid);
    }
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE /*module*/, LPSTR fileName, DWORD size) {
    if (fileName == nullptr || size == 0) return 0;
    std::vector<char> buffer(PATH_MAX + 1);
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return 0;
    auto full = static_cast<DWORD>(length);
    if (full >= size) {
        std::memcpy(fileName, buffer.data(), size - 1);
        fileName[size - 1] = '\0';
        return size;
    }
    std::memcpy(fileName, buffer.data(), full);
    fileName[full] = '\0';
    return full;
}

// File handles are descriptors plus one, so that no valid handle is null.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD /*shareMode*/, SECURITY_ATTRIBUTES* /*securityAttributes*/,
                   DWORD creationDisposition, DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/) {
    if (fileName == nullptr || desiredAccess != GENERIC_WRITE) return INVALID_HANDLE_VALUE;
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    if (creationDisposition == CREATE_NEW) {
        flags |= O_EXCL;
    } else if (creationDisposition == CREATE_ALWAYS) {
        flags |= O_TRUNC;
    } else {
        return INVALID_HANDLE_VALUE;
    }
    int fd = open(fileName, flags, 0644);
    if (fd < 0) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + 1);
}

BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPVOID /*overlapped*/) {
    int fd = descriptorOf(file);
    if (bytesWritten != nullptr) *bytesWritten = 0;
    if (fd < 0 || (buffer == nullptr && bytesToWrite > 0)) return FALSE;
    const char* bytes = static_cast<const char*>(buffer);
    DWORD done = 0;
    while (done < bytesToWrite) {
        ssize_t written = write(fd, bytes + done, bytesToWrite - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            break;
        }
        done += static_cast<DWORD>(written);
    }
    if (bytesWritten != nullptr) *bytesWritten = done;
    return done == bytesToWrite ? TRUE : FALSE;
}

BOOL FlushFileBuffers(HANDLE file) {
    int fd = descriptorOf(file);
    return fd >= 0 && fsync(fd) == 0 ? TRUE : FALSE;
}

BOOL CloseHandle(HANDLE handle) {
    int fd = descriptorOf(handle);
    return fd >= 0 && close(fd) == 0 ? TRUE : FALSE;
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
    if (existingFileName == nullptr || newFileName == nullptr) return FALSE;
    if ((flags & MOVEFILE_REPLACE_EXISTING) == 0) {
        struct stat info {};
        if (lstat(newFileName, &info) == 0) return FALSE;
    }
    if (std::rename(existingFileName, newFileName) != 0) return FALSE;
    if (flags & MOVEFILE_WRITE_THROUGH) {
        std::string directory = newFileName;
        std::size_t slash = directory.rfind('/');
        directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : directory.substr(0, slash));
        int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return FALSE;
        bool synced = fsync(fd) == 0;
        close(fd);
        if (!synced) return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
    return fileName != nullptr && unlink(fileName) == 0 ? TRUE : FALSE;
}
