// The check figures people compare ROM dumps by: CRC-32 (as crc32, zip and
// gzip compute it) and SHA-1 (as sha1sum), in the lower-case hexadecimal those
// tools print.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace zambrix {

std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
std::array<std::uint8_t, 20> Sha1(std::span<const std::uint8_t> bytes);

struct Digests {
  std::string crc32;  // 8 hexadecimal digits
  std::string sha1;   // 40 hexadecimal digits
  static Digests Of(std::span<const std::uint8_t> bytes);
};

}  // namespace zambrix
