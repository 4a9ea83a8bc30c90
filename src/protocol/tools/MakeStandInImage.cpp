// Build step: writes the stand-in firmware image (CR LF after every line) to the file named on the command
// line.
#include "protocol/StandInImage.h"
#include "protocol/TextLines.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.hex\n", argv[0]);
        return 2;
    }
    const std::string text = vexa::JoinLinesCrLf(vexa::StandInImageLines());
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
