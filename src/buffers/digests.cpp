#include "buffers/digests.h"

#include <cstdio>

namespace zambrix {

namespace {

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320;  // reflected 04C11DB7

constexpr std::array<std::uint32_t, 256> CrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ kCrcPolynomial : c >> 1;
    table[i] = c;
  }
  return table;
}

constexpr auto kCrcTable = CrcTable();

constexpr std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

// One 64-byte block into the five words of the state.
void Sha1Block(std::array<std::uint32_t, 5>& h, const std::uint8_t* block) {
  std::array<std::uint32_t, 80> w{};
  for (int i = 0; i < 16; ++i) {
    w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
           std::uint32_t{block[4 * i + 2]} << 8 | block[4 * i + 3];
  }
  for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
  std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
  for (int i = 0; i < 80; ++i) {
    std::uint32_t f = 0, k = 0;
    if (i < 20) {
      f = (b & c) | (~b & d);
      k = 0x5A827999;
    } else if (i < 40) {
      f = b ^ c ^ d;
      k = 0x6ED9EBA1;
    } else if (i < 60) {
      f = (b & c) | (b & d) | (c & d);
      k = 0x8F1BBCDC;
    } else {
      f = b ^ c ^ d;
      k = 0xCA62C1D6;
    }
    const std::uint32_t t = Rotl(a, 5) + f + e + k + w[i];
    e = d;
    d = c;
    c = Rotl(b, 30);
    b = a;
    a = t;
  }
  h[0] += a;
  h[1] += b;
  h[2] += c;
  h[3] += d;
  h[4] += e;
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
  std::uint32_t c = 0xFFFFFFFF;
  for (std::uint8_t b : bytes) c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFF;
}

std::array<std::uint8_t, 20> Sha1(std::span<const std::uint8_t> bytes) {
  std::array<std::uint32_t, 5> h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::size_t whole = bytes.size() / 64 * 64;
  for (std::size_t i = 0; i < whole; i += 64) Sha1Block(h, bytes.data() + i);
  // The tail, the 80h marker, zeros and the length in bits: one or two blocks.
  std::array<std::uint8_t, 128> tail{};
  const std::size_t rest = bytes.size() - whole;
  for (std::size_t i = 0; i < rest; ++i) tail[i] = bytes[whole + i];
  tail[rest] = 0x80;
  const std::size_t blocks = rest + 9 <= 64 ? 1 : 2;
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (int i = 0; i < 8; ++i)
    tail[blocks * 64 - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
  for (std::size_t b = 0; b < blocks; ++b) Sha1Block(h, tail.data() + b * 64);
  std::array<std::uint8_t, 20> out{};
  for (int i = 0; i < 20; ++i) out[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}

Digests Digests::Of(std::span<const std::uint8_t> bytes) {
  Digests d;
  char text[9];
  std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(Crc32(bytes)));
  d.crc32 = text;
  for (std::uint8_t b : Sha1(bytes)) {
    std::snprintf(text, sizeof text, "%02x", static_cast<unsigned>(b));
    d.sha1 += text;
  }
  return d;
}

}  // namespace zambrix
