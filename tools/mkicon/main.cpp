// mkicon <file.cpp>: writes the program's icon group as a C++ source that
// links it into the program: a night sky disc with a crescent moon and two
// stars, at 32 x 32 and 16 x 16, drawn here so that the program carries no
// picture it did not make.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

struct CColor {
    double r, g, b, a;
};

CColor Mix(const CColor& under, const CColor& over, double amount) {
    amount = std::clamp(amount, 0.0, 1.0);
    return {under.r + (over.r - under.r) * amount, under.g + (over.g - under.g) * amount,
            under.b + (over.b - under.b) * amount, under.a + (over.a - under.a) * amount};
}

// How far inside a disc of radius r around (cx, cy) the point lies, as a
// coverage from 0 to 1 over one pixel's width.
double Inside(double x, double y, double cx, double cy, double r, double pixel) {
    return std::clamp((r - std::hypot(x - cx, y - cy)) / pixel + 0.5, 0.0, 1.0);
}

// One picture of size x size, 0xAARRGGBB rows from the top; the drawing is
// made in unit coordinates so that every size shows the same picture.
std::vector<uint32_t> Draw(int size) {
    const double pixel = 1.0 / size;
    const CColor clear{0, 0, 0, 0}, skyTop{0.05, 0.09, 0.30, 1}, skyBottom{0.20, 0.12, 0.42, 1},
        rim{0.55, 0.62, 0.95, 1}, moon{0.99, 0.93, 0.66, 1}, star{1, 1, 1, 1};
    std::vector<uint32_t> pixels(size_t(size) * size_t(size));
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            const double x = (column + 0.5) * pixel, y = (row + 0.5) * pixel;
            CColor color = Mix(skyTop, skyBottom, y);
            color = Mix(color, rim, Inside(x, y, 0.5, 0.5, 0.48, pixel) - Inside(x, y, 0.5, 0.5, 0.43, pixel));
            const double crescent = Inside(x, y, 0.44, 0.46, 0.27, pixel) * (1 - Inside(x, y, 0.56, 0.38, 0.23, pixel));
            color = Mix(color, moon, crescent);
            color = Mix(color, star, Inside(x, y, 0.74, 0.66, 0.045, pixel));
            color = Mix(color, star, Inside(x, y, 0.66, 0.24, 0.035, pixel));
            color = Mix(clear, color, Inside(x, y, 0.5, 0.5, 0.48, pixel));
            auto channel = [](double value) { return uint32_t(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
            pixels[size_t(row) * size_t(size) + size_t(column)] =
                channel(color.a) << 24 | channel(color.r) << 16 | channel(color.g) << 8 | channel(color.b);
        }
    }
    return pixels;
}

void WriteImage(std::ofstream& out, int size) {
    out << "    {" << size << ", " << size << ", {";
    const std::vector<uint32_t> pixels = Draw(size);
    for (size_t i = 0; i < pixels.size(); ++i) {
        char word[16];
        std::snprintf(word, sizeof word, "0x%08Xu", pixels[i]);
        out << (i % 8 == 0 ? "\n        " : " ") << word << ",";
    }
    out << "\n    }},\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <file.cpp>\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << "// Made by mkicon: the program's icon group, linked into the program.\n\n"
           "#include \"app/ApplicationHandles.h\"\n"
           "#include \"platform/Resources.h\"\n"
           "#include \"shell/ProgramResources.h\"\n\n"
           "namespace Engine {\n\n"
           "void RegisterProgramResources() {\n"
           "    Platform::RegisterIconGroup(GetModuleHandle(nullptr), kProgramIconId, {\n";
    WriteImage(out, 32);
    WriteImage(out, 16);
    out << "    });\n}\n\n} // namespace Engine\n";
    if (!out.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
