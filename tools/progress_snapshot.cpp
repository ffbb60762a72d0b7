// progress_snapshot: the PROGRESS page of a player file in the working
// directory, drawn for a work area of any size and saved as PNG, SVG or PDF.
// The pictures in docs/ are made with it.
//
//   progress_snapshot NAME WIDTHxHEIGHT FILE

#include "progress/export.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    int width = 0, height = 0;
    if (argc != 4 || std::sscanf(argv[2], "%dx%d", &width, &height) != 2 || width < 320 || height < 240) {
        std::fputs("usage: progress_snapshot NAME WIDTHxHEIGHT FILE.png|FILE.svg|FILE.pdf\n", stderr);
        return 2;
    }
    std::string problem;
    if (!progress::ExportProgressPage(argv[1], argv[3], problem, width, height)) {
        std::fprintf(stderr, "progress_snapshot: %s\n", problem.c_str());
        return 1;
    }
    return 0;
}
