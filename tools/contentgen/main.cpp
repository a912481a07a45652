// calvetrin-contentgen OUTDIR: writes the screensaver's default content,
// OUTDIR/main.pak and OUTDIR/preview.ppk.
// calvetrin-contentgen --icon FILE: writes the Windows program icon.
// The output depends on nothing but this program, so every build produces the
// same bytes.
#include "tools/contentgen/Icon.h"
#include "tools/contentgen/Output.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const char* program = argc > 0 ? argv[0] : "calvetrin-contentgen";
    if (argc == 3 && std::strcmp(argv[1], "--icon") == 0) {
        if (contentgen::writeIcon(contentgen::buildContent(), argv[2])) return 0;
        std::fprintf(stderr, "%s: cannot write the icon %s\n", program, argv[2]);
        return 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n       %s --icon FILE\n", program, program);
        return 2;
    }
    if (!contentgen::writeContent(argv[1])) {
        std::fprintf(stderr, "%s: cannot write the content into %s\n", program, argv[1]);
        return 1;
    }
    return 0;
}
