// The main() of a fuzz target built as an ordinary test program: it feeds
// every file of the given directories to LLVMFuzzerTestOneInput once, in name
// order, and prints each name before it runs, so that a crash, a sanitizer
// report or a broken property (which abort) names the input. No random
// inputs are made: the verdict depends only on the saved files.
//
//   replay_archive fuzz/regressions/archive
//
// An input that is still running after kSecondsPerInput is reported by name
// and fails the run: a decoder that never ends is a finding like a crash.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Defined by the targets that need set-up once (weak: most do not).
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

// Far above what any saved input takes (milliseconds) even in a sanitizer
// build on a busy machine; far below "forever".
constexpr unsigned kSecondsPerInput = 60;

char currentInput[4096];

void onAlarm(int) {
    static const char what[] = "replay: still running after 60 s: ";
    (void)!write(2, what, sizeof what - 1);
    (void)!write(2, currentInput, std::char_traits<char>::length(currentInput));
    (void)!write(2, "\n", 1);
    _exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY...\n", argv[0]);
        return 2;
    }
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::signal(SIGALRM, onAlarm);

    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i], error)) {
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        }
        if (error) {
            std::fprintf(stderr, "replay: cannot list %s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "replay: no inputs in the directories given\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());

    for (const auto& path : inputs) {
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        if (!in.eof() && !in) {
            std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
            return 1;
        }
        std::snprintf(currentInput, sizeof currentInput, "%s", path.c_str());
        std::printf("replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
        std::fflush(stdout);
        alarm(kSecondsPerInput);
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        alarm(0);
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
