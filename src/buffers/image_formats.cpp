#include "buffers/image_formats.h"

#include <algorithm>
#include <cctype>

namespace zambrix {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The bytes of a run of hex digit pairs; nullopt for an odd count or a non-digit.
std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view digits) {
  if (digits.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    const int hi = HexDigit(digits[i]), lo = HexDigit(digits[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return out;
}

// Collects data records into one image, refusing overlaps with other data.
class ImageBuilder {
 public:
  explicit ImageBuilder(std::size_t limit) : limit_(limit) {}
  // Empty on success, else why the bytes cannot go at `address`.
  std::string Put(std::uint64_t address, std::span<const std::uint8_t> data) {
    if (data.empty()) return {};
    if (address + data.size() > limit_) return "address beyond the buffer";
    const auto end = static_cast<std::size_t>(address + data.size());
    if (end > bytes_.size()) {
      bytes_.resize(end, 0xFF);
      written_.resize(end, false);
    }
    for (std::size_t i = 0; i < data.size(); ++i) {
      const auto a = static_cast<std::size_t>(address) + i;
      if (written_[a] && bytes_[a] != data[i]) return "overlaps an earlier record with other data";
      bytes_[a] = data[i];
      written_[a] = true;
    }
    return {};
  }
  std::vector<std::uint8_t> Take() { return std::move(bytes_); }

 private:
  std::size_t limit_;
  std::vector<std::uint8_t> bytes_;
  std::vector<bool> written_;
};

// Feeds the text line by line (CR LF, LF or CR) to `record`, skipping blank
// lines; stops at the first refusal or when `record` says the file ended.
template <class Record>
ParsedImage EachLine(std::string_view text, bool end_required, Record record) {
  ParsedImage result;
  int number = 0;
  bool ended = false;
  std::size_t pos = 0;
  while (pos < text.size() && !ended) {
    std::size_t next = text.find_first_of("\r\n", pos);
    if (next == std::string_view::npos) next = text.size();
    std::string_view line = text.substr(pos, next - pos);
    if (next < text.size() && text[next] == '\r' && next + 1 < text.size() &&
        text[next + 1] == '\n')
      ++next;
    pos = next + 1;
    ++number;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) continue;
    result.error = record(line, ended);
    if (!result.error.empty()) {
      result.line = number;
      return result;
    }
  }
  if (!ended && end_required) {
    result.error = "no end record";
    result.line = number + 1;
  }
  // Text after the end record is not image data, but it is not dropped unseen.
  for (std::size_t at = pos; ended && at < text.size(); ++at) {
    const char c = text[at];
    if (c == '\n' || (c == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n'))) ++number;
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t' || c == '\x1A') continue;
    result.after_end = number + 1;
    break;
  }
  return result;
}

std::uint32_t BigEndian(std::span<const std::uint8_t> b) {
  std::uint32_t v = 0;
  for (auto x : b) v = (v << 8) | x;
  return v;
}

constexpr char kDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, std::uint8_t b) {
  out += kDigits[b >> 4];
  out += kDigits[b & 15];
}

// One record line from its bytes (without the checksum) and its checksum.
void AppendRecord(std::string& out, std::string_view lead, const std::vector<std::uint8_t>& body,
                  bool ones_complement) {
  out += lead;
  unsigned sum = 0;
  for (auto b : body) {
    AppendHex(out, b);
    sum += b;
  }
  const auto check = static_cast<std::uint8_t>(ones_complement ? ~sum : (0x100 - (sum & 0xFF)));
  AppendHex(out, check);
  out += "\r\n";
}

void PushAddress(std::vector<std::uint8_t>& body, std::uint32_t address, int bytes) {
  for (int i = bytes - 1; i >= 0; --i)
    body.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
}

// ---- Intel HEX ----

std::string IntelRecord(std::string_view line, ImageBuilder& image, std::uint64_t& base,
                        bool& segmented, bool& ended) {
  if (line[0] != ':') return "malformed line (no ':' at its start)";
  auto bytes = HexBytes(line.substr(1));
  if (!bytes || bytes->size() < 5) return "malformed line";
  const auto& b = *bytes;
  if (b.size() != 5u + b[0]) return "malformed line (length does not match its count)";
  unsigned sum = 0;
  for (auto x : b) sum += x;
  if ((sum & 0xFF) != 0) return "bad checksum";
  const std::uint32_t offset = BigEndian({b.data() + 1, 2});
  const std::span<const std::uint8_t> data(b.data() + 4, b[0]);
  switch (b[3]) {
    case 0x00: {
      if (!segmented) return image.Put(base + offset, data);
      // A segment wraps at 64 KB.
      for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint64_t a = (base + ((offset + i) & 0xFFFF)) & 0xFFFFF;
        if (auto e = image.Put(a, data.subspan(i, 1)); !e.empty()) return e;
      }
      return {};
    }
    case 0x01:
      if (!data.empty()) return "malformed end record";
      ended = true;
      return {};
    case 0x02:
    case 0x04:
      if (data.size() != 2) return "malformed address record";
      segmented = b[3] == 0x02;
      base = std::uint64_t{BigEndian(data)} << (segmented ? 4 : 16);
      return {};
    case 0x03:
    case 0x05:
      if (data.size() != 4) return "malformed start record";
      return {};
    default:
      return "unknown record type";
  }
}

// ---- S-records ----

struct SrecState {
  std::uint64_t data_records = 0;
  bool counted = false;
};

int SrecAddressBytes(char type) {
  switch (type) {
    case '0':
    case '1':
    case '5':
    case '9':
      return 2;
    case '2':
    case '6':
    case '8':
      return 3;
    case '3':
    case '7':
      return 4;
    default:
      return 0;
  }
}

std::string SrecRecord(std::string_view line, ImageBuilder& image, SrecState& state, bool& ended) {
  if (line.size() < 2 || (line[0] != 'S' && line[0] != 's'))
    return "malformed line (no 'S' at its start)";
  const char type = line[1];
  const int address_bytes = SrecAddressBytes(type);
  if (address_bytes == 0) return "unknown record type";
  auto bytes = HexBytes(line.substr(2));
  if (!bytes || bytes->size() < 2) return "malformed line";
  const auto& b = *bytes;
  if (b.size() != 1u + b[0] || b[0] < address_bytes + 1)
    return "malformed line (length does not match its count)";
  unsigned sum = 0;
  for (auto x : b) sum += x;
  if ((sum & 0xFF) != 0xFF) return "bad checksum";
  const std::uint32_t address = BigEndian({b.data() + 1, static_cast<std::size_t>(address_bytes)});
  const std::span<const std::uint8_t> data(b.data() + 1 + address_bytes,
                                           b.size() - 2 - static_cast<std::size_t>(address_bytes));
  switch (type) {
    case '1':
    case '2':
    case '3':
      ++state.data_records;
      return image.Put(address, data);
    case '5':
    case '6':
      if (!data.empty()) return "malformed count record";
      if (address != (state.data_records & (type == '5' ? 0xFFFF : 0xFFFFFF)))
        return "record count " + std::to_string(address) + " does not match the " +
               std::to_string(state.data_records) + " data records";
      state.counted = true;
      return {};
    case '7':
    case '8':
    case '9':
      ended = true;
      return {};
    default:  // S0 header
      return {};
  }
}

}  // namespace

ImageFormat FormatOfName(std::string_view path) {
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return ImageFormat::kBinary;
  const std::string ext = Lower(path.substr(dot + 1));
  for (auto* e : {"hex", "ihx", "ihex"}) {
    if (ext == e) return ImageFormat::kIntelHex;
  }
  for (auto* e : {"s19", "s28", "s37", "srec", "mot"}) {
    if (ext == e) return ImageFormat::kSrec;
  }
  return ImageFormat::kBinary;
}

std::optional<ImageFormat> FormatNamed(std::string_view word) {
  const std::string w = Lower(word);
  if (w == "bin") return ImageFormat::kBinary;
  if (w == "ihex") return ImageFormat::kIntelHex;
  if (w == "srec") return ImageFormat::kSrec;
  return std::nullopt;
}

ParsedImage ParseIntelHex(std::string_view text, std::size_t limit) {
  ImageBuilder image(limit);
  std::uint64_t base = 0;
  bool segmented = false;
  ParsedImage r = EachLine(text, true, [&](std::string_view line, bool& ended) {
    return IntelRecord(line, image, base, segmented, ended);
  });
  if (r.ok()) r.bytes = image.Take();
  return r;
}

ParsedImage ParseSrec(std::string_view text, std::size_t limit) {
  ImageBuilder image(limit);
  SrecState state;
  // Many tools end an S-record file without a start record.
  ParsedImage r = EachLine(text, false, [&](std::string_view line, bool& ended) {
    return SrecRecord(line, image, state, ended);
  });
  if (r.ok()) r.bytes = image.Take();
  return r;
}

ParsedImage ParseImage(ImageFormat format, std::string_view text, std::size_t limit) {
  switch (format) {
    case ImageFormat::kIntelHex:
      return ParseIntelHex(text, limit);
    case ImageFormat::kSrec:
      return ParseSrec(text, limit);
    case ImageFormat::kBinary:
      break;
  }
  ParsedImage r;
  if (text.size() > limit) {
    r.error = "address beyond the buffer";
    return r;
  }
  r.bytes.assign(text.begin(), text.end());
  return r;
}

std::string WriteIntelHex(std::span<const std::uint8_t> bytes, std::uint32_t origin) {
  constexpr std::size_t kPerRecord = 16;
  std::string out;
  out.reserve(bytes.size() / kPerRecord * 45 + 64);
  std::uint32_t upper = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::uint32_t address = origin + static_cast<std::uint32_t>(i);
    if ((address >> 16) != upper) {
      upper = address >> 16;
      AppendRecord(
          out, ":",
          {2, 0, 0, 4, static_cast<std::uint8_t>(upper >> 8), static_cast<std::uint8_t>(upper)},
          false);
    }
    // A record never crosses a 64 KB boundary.
    const std::size_t n =
        std::min({kPerRecord, bytes.size() - i, std::size_t{0x10000} - (address & 0xFFFF)});
    std::vector<std::uint8_t> body = {static_cast<std::uint8_t>(n)};
    PushAddress(body, address & 0xFFFF, 2);
    body.push_back(0);
    body.insert(body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                bytes.begin() + static_cast<std::ptrdiff_t>(i + n));
    AppendRecord(out, ":", body, false);
    i += n;
  }
  out += ":00000001FF\r\n";
  return out;
}

std::string WriteSrec(std::span<const std::uint8_t> bytes, std::uint32_t origin) {
  constexpr std::size_t kPerRecord = 32;
  const std::uint64_t last = bytes.empty() ? origin : origin + bytes.size() - 1;
  const int width = last <= 0xFFFF ? 2 : last <= 0xFFFFFF ? 3 : 4;
  const char data_type = static_cast<char>('1' + (width - 2));
  const char start_type = static_cast<char>('9' - (width - 2));
  std::string out;
  out.reserve(bytes.size() / kPerRecord * 76 + 64);
  AppendRecord(out, "S0", {3, 0, 0}, true);
  std::size_t records = 0;
  for (std::size_t i = 0; i < bytes.size(); i += kPerRecord, ++records) {
    const std::size_t n = std::min(kPerRecord, bytes.size() - i);
    std::vector<std::uint8_t> body = {static_cast<std::uint8_t>(n + width + 1)};
    PushAddress(body, origin + static_cast<std::uint32_t>(i), width);
    body.insert(body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(i),
                bytes.begin() + static_cast<std::ptrdiff_t>(i + n));
    AppendRecord(out, std::string("S") + data_type, body, true);
  }
  const int count_width = records <= 0xFFFF ? 2 : 3;
  std::vector<std::uint8_t> count = {static_cast<std::uint8_t>(count_width + 1)};
  PushAddress(count, static_cast<std::uint32_t>(records), count_width);
  AppendRecord(out, count_width == 2 ? "S5" : "S6", count, true);
  std::vector<std::uint8_t> start = {static_cast<std::uint8_t>(width + 1)};
  PushAddress(start, 0, width);
  AppendRecord(out, std::string("S") + start_type, start, true);
  return out;
}

std::string WriteImage(ImageFormat format, std::span<const std::uint8_t> bytes) {
  switch (format) {
    case ImageFormat::kIntelHex:
      return WriteIntelHex(bytes);
    case ImageFormat::kSrec:
      return WriteSrec(bytes);
    case ImageFormat::kBinary:
      break;
  }
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace zambrix
