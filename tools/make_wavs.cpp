// Writes the program's five short event sounds as 16-bit mono wave files.
// They are made here from plain tones, so the project ships no third-party audio.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

struct Tone {
  double hz;
  double seconds;
};

void Put16(std::ofstream& f, std::uint16_t v) {
  f.put(static_cast<char>(v & 0xFF)).put(static_cast<char>(v >> 8));
}
void Put32(std::ofstream& f, std::uint32_t v) {
  Put16(f, static_cast<std::uint16_t>(v & 0xFFFF));
  Put16(f, static_cast<std::uint16_t>(v >> 16));
}

bool Write(const std::string& path, const std::vector<Tone>& tones) {
  std::vector<std::int16_t> samples;
  for (const auto& t : tones) {
    int n = static_cast<int>(t.seconds * kRate);
    for (int i = 0; i < n; ++i) {
      double env = std::min(1.0, std::min(i, n - i) / (0.005 * kRate));  // 5 ms fade in and out
      double s = t.hz > 0 ? std::sin(2 * M_PI * t.hz * i / kRate) : 0.0;
      samples.push_back(static_cast<std::int16_t>(s * env * 9000));
    }
  }
  std::ofstream f(path, std::ios::binary);
  if (!f) return false;
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  f.write("RIFF", 4);
  Put32(f, 36 + data_bytes);
  f.write("WAVEfmt ", 8);
  Put32(f, 16);
  Put16(f, 1);  // PCM
  Put16(f, 1);  // mono
  Put32(f, kRate);
  Put32(f, kRate * 2);
  Put16(f, 2);
  Put16(f, 16);
  f.write("data", 4);
  Put32(f, data_bytes);
  for (auto s : samples) Put16(f, static_cast<std::uint16_t>(s));
  return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : ".";
  bool ok = Write(dir + "/init.wav", {{523, 0.08}, {659, 0.08}, {784, 0.12}}) &&
            Write(dir + "/error.wav", {{220, 0.18}, {0, 0.04}, {196, 0.25}}) &&
            Write(dir + "/done.wav", {{880, 0.07}}) && Write(dir + "/slide.wav", {{1320, 0.03}}) &&
            Write(dir + "/ok.wav", {{784, 0.07}, {1047, 0.12}});
  if (!ok) std::fprintf(stderr, "make_wavs: cannot write into %s\n", dir.c_str());
  return ok ? 0 : 1;
}
