#include "buffers/byte_edits.h"

#include <algorithm>

namespace zambrix {

void ByteEdits::Reset() {
  reference_.clear();
  changed_ = 0;
  undo_.clear();
  redo_.clear();
}

void ByteEdits::Saved() {
  reference_.clear();
  changed_ = 0;
}

bool ByteEdits::Inside(std::int32_t first, std::int32_t last) const {
  return first >= 0 && first <= last && static_cast<std::size_t>(last) < bytes_.size();
}

void ByteEdits::Cover(std::int32_t last) {
  const auto want = static_cast<std::size_t>(last) + 1;
  if (reference_.size() >= want) return;
  const auto from = static_cast<std::ptrdiff_t>(reference_.size());
  reference_.insert(reference_.end(), bytes_.begin() + from,
                    bytes_.begin() + static_cast<std::ptrdiff_t>(want));
}

bool ByteEdits::Changed(std::int32_t address) const {
  if (address < 0 || static_cast<std::size_t>(address) >= reference_.size()) return false;
  const auto i = static_cast<std::size_t>(address);
  return bytes_[i] != reference_[i];
}

void ByteEdits::Write(std::int32_t address, std::uint8_t value) {
  const bool was = Changed(address);
  bytes_[static_cast<std::size_t>(address)] = value;
  changed_ += static_cast<int>(Changed(address)) - static_cast<int>(was);
}

void ByteEdits::Apply(std::int32_t first, const std::vector<std::uint8_t>& values) {
  Cover(first + static_cast<std::int32_t>(values.size()) - 1);
  for (std::size_t i = 0; i < values.size(); ++i)
    Write(first + static_cast<std::int32_t>(i), values[i]);
}

bool ByteEdits::Set(std::int32_t address, std::uint8_t value, bool merge) {
  if (!Inside(address, address)) return false;
  redo_.clear();
  if (merge && !undo_.empty() && undo_.back().first == address && undo_.back().after.size() == 1) {
    undo_.back().after[0] = value;
  } else {
    undo_.push_back({address, {bytes_[static_cast<std::size_t>(address)]}, {value}});
  }
  Apply(address, {value});
  return true;
}

bool ByteEdits::Fill(std::int32_t first, std::int32_t last, std::uint8_t value) {
  if (!Inside(first, last)) return false;
  redo_.clear();
  Step step;
  step.first = first;
  step.before.assign(bytes_.begin() + first, bytes_.begin() + last + 1);
  step.after.assign(step.before.size(), value);
  Apply(first, step.after);
  undo_.push_back(std::move(step));
  return true;
}

std::optional<std::int32_t> ByteEdits::Undo() {
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  Apply(step.first, step.before);
  const std::int32_t first = step.first;
  redo_.push_back(std::move(step));
  return first;
}

std::optional<std::int32_t> ByteEdits::Redo() {
  if (redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Apply(step.first, step.after);
  const std::int32_t first = step.first;
  undo_.push_back(std::move(step));
  return first;
}

}  // namespace zambrix
