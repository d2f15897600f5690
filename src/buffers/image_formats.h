// Image files other tools write: Intel HEX and Motorola S-records, next to raw
// binary. Parsers take the text already read; writers return the whole file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zambrix {

enum class ImageFormat { kBinary, kIntelHex, kSrec };

// The format a file name stands for: .hex .ihx .ihex are Intel HEX, .s19 .s28
// .s37 .srec .mot S-records (any case), every other name raw binary.
ImageFormat FormatOfName(std::string_view path);
// "bin", "ihex" or "srec" as the command line spells them.
std::optional<ImageFormat> FormatNamed(std::string_view word);

// A parsed image: bytes from address 0 to the highest address written, the
// gaps FFh. On refusal `error` says why and `line` where (1-based).
struct ParsedImage {
  std::vector<std::uint8_t> bytes;
  std::string error;
  int line = 0;
  // The first line with text after the end record (HEX 01, S7/S8/S9), which
  // is not read; 0 when nothing follows it.
  int after_end = 0;
  bool ok() const { return error.empty(); }
};

// Addresses must lie below `limit`. Records that overlap with different data,
// a bad checksum, a malformed line, an S5/S6 count that does not match or (Intel
// HEX) a missing end record refuse the file.
ParsedImage ParseIntelHex(std::string_view text, std::size_t limit);
ParsedImage ParseSrec(std::string_view text, std::size_t limit);
ParsedImage ParseImage(ImageFormat format, std::string_view text, std::size_t limit);

// The text of an image whose first byte lies at `origin`. Intel HEX: 16 data
// bytes a record, an extended linear address record where the upper address
// changes. S-records: an S0 header, 32 data bytes a record in S1, S2 or S3 by
// the highest address, the S5 or S6 count and the matching start record.
std::string WriteIntelHex(std::span<const std::uint8_t> bytes, std::uint32_t origin = 0);
std::string WriteSrec(std::span<const std::uint8_t> bytes, std::uint32_t origin = 0);
// Raw binary is the bytes themselves.
std::string WriteImage(ImageFormat format, std::span<const std::uint8_t> bytes);

}  // namespace zambrix
