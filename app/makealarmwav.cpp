// Writes the default alarm sound: a short two-tone alert (880 Hz and 1320 Hz, 0.6 s),
// 16-bit mono PCM at 22050 Hz. Run at build time; the program loops it while an
// armed threshold is crossed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace qmx {

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

void put32(std::ofstream& out, uint32_t v) {
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(b, 4);
}

void put16(std::ofstream& out, uint16_t v) {
    const char b[2] = {char(v), char(v >> 8)};
    out.write(b, 2);
}

std::vector<int16_t> tone() {
    std::vector<int16_t> samples;
    const struct {
        double hz;
        double seconds;
    } parts[] = {{880.0, 0.15}, {1320.0, 0.15}, {880.0, 0.15}, {0.0, 0.15}};
    for (const auto& part : parts) {
        const int n = int(part.seconds * kRate);
        for (int i = 0; i < n; ++i) {
            // A short fade at both ends of each part avoids clicks.
            const double fade = std::min({1.0, i / 200.0, (n - i) / 200.0});
            const double v = part.hz > 0 ? std::sin(2 * kPi * part.hz * i / kRate) * fade : 0.0;
            samples.push_back(int16_t(v * 0.6 * 32767));
        }
    }
    return samples;
}

} // namespace

} // namespace qmx

using namespace qmx;

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makealarmwav OUT.wav\n");
        return 2;
    }
    const std::vector<int16_t> samples = tone();
    const auto dataBytes = uint32_t(samples.size() * 2);
    std::ofstream out(argv[1], std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, dataBytes);
    out.write(reinterpret_cast<const char*>(samples.data()), dataBytes);
    return out ? 0 : 1;
}
