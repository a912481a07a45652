// calvetrin-contentgen OUTDIR: writes the screensaver's default content,
// OUTDIR/main.pak and OUTDIR/preview.ppk. The output depends on nothing but
// this program, so every build produces the same bytes.
#include "tools/contentgen/Output.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "calvetrin-contentgen");
        return 2;
    }
    if (!contentgen::writeContent(argv[1])) {
        std::fprintf(stderr, "%s: cannot write the content into %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
