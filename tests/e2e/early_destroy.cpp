// A host that destroys its window early: creates a window, starts the
// screensaver in hack mode on it, destroys the window a random 0 to 100 ms
// later (before, during or after the program's start-up), and expects every
// run to end by itself with exit code 0 and no output at all.
//
//   early_destroy PROGRAM RUNS OUT_DIR [SEED]     (SEED: default from the clock)
//
// GL_PRELOAD (sanitizer builds): preloaded into the program, not into this
// driver (see the harness).
// Prints the seed first, so that a failing sequence can be run again, then
// one line per run that went wrong, and "N passed, M failed".
#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

namespace {

std::string fileText(const std::string& path) {
    std::string text;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

// The program on the window, its output in OUT/run-N.out and .err.
pid_t launch(const char* program, Window window, const std::string& outPrefix) {
    const std::string id = std::to_string(window);
    const pid_t pid = fork();
    if (pid == 0) {
        if (const char* preload = std::getenv("GL_PRELOAD")) setenv("LD_PRELOAD", preload, 1);
        const int out = open((outPrefix + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((outPrefix + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        execl(program, program, "--window-id", id.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

// The exit code, or -1 for a signal and -2 when it still ran after 120 s
// (then killed).
int waitFor(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 12000; ++i) {
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: early_destroy PROGRAM RUNS OUT_DIR [SEED]\n");
        return 2;
    }
    const char* program = argv[1];
    const int runs = std::atoi(argv[2]);
    const std::string outDir = argv[3];
    mkdir(outDir.c_str(), 0755);
    const unsigned seed = argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10))
                                   : static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
    std::printf("seed %u (run again with: early_destroy PROGRAM %d OUT_DIR %u)\n", seed, runs, seed);
    std::fflush(stdout);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMs(0, 100);

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "early_destroy: no X display\n");
        return 1;
    }
    int passed = 0;
    for (int run = 1; run <= runs; ++run) {
        const Window window =
            XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 640, 480, 0, 0, BlackPixel(display, 0));
        XMapWindow(display, window);
        XSync(display, False);
        const std::string prefix = outDir + "/run-" + std::to_string(run);
        const int delay = delayMs(random);
        const pid_t pid = launch(program, window, prefix);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        XDestroyWindow(display, window);
        XSync(display, False);
        const int code = waitFor(pid);
        const std::string out = fileText(prefix + ".out"), err = fileText(prefix + ".err");
        if (code == 0 && out.empty() && err.empty()) {
            ++passed;
        } else {
            std::printf("run %d, window destroyed after %d ms: exit %d (-1 a signal, -2 still running after 120 s), "
                        "%zu bytes on stdout, %zu on stderr: %s\n",
                        run, delay, code, out.size(), err.size(), err.substr(0, 300).c_str());
        }
    }
    XCloseDisplay(display);
    std::printf("%d passed, %d failed\n", passed, runs - passed);
    return passed == runs ? 0 : 1;
}
