// Changes the operator makes to a buffer by hand: each a step that can be
// undone and redone, and for every byte whether it differs from what the
// buffer held when it was last loaded, read or saved.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zambrix {

class ByteEdits {
 public:
  explicit ByteEdits(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  // The buffer holds new contents (a load, a read, an erase): nothing is
  // changed and there is nothing to undo.
  void Reset();
  // The buffer was saved: what it holds now is the reference; the steps stay.
  void Saved();

  // One step: the byte at `address` takes `value`. With `merge`, a change of the
  // same byte as the last step joins that step (the second digit of a byte).
  // False when the address lies outside the buffer.
  bool Set(std::int32_t address, std::uint8_t value, bool merge = false);
  // One step: every byte from `first` to `last` takes `value`.
  bool Fill(std::int32_t first, std::int32_t last, std::uint8_t value);

  // Take back or redo one step; the first address it touched.
  std::optional<std::int32_t> Undo();
  std::optional<std::int32_t> Redo();
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }

  // The byte differs from the reference.
  bool Changed(std::int32_t address) const;
  bool AnyChanged() const { return changed_ > 0; }

 private:
  struct Step {
    std::int32_t first = 0;
    std::vector<std::uint8_t> before, after;
  };
  bool Inside(std::int32_t first, std::int32_t last) const;
  // Writes one byte and keeps the count of changed bytes.
  void Write(std::int32_t address, std::uint8_t value);
  void Apply(std::int32_t first, const std::vector<std::uint8_t>& values);
  // The reference reaches at least `last`: bytes not yet covered are taken as
  // they are now, before the first change of them.
  void Cover(std::int32_t last);

  std::vector<std::uint8_t>& bytes_;
  std::vector<std::uint8_t> reference_;
  std::int32_t changed_ = 0;
  std::vector<Step> undo_, redo_;
};

}  // namespace zambrix
