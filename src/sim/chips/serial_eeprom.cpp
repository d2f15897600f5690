#include "sim/chips/serial_eeprom.h"

#include <algorithm>

namespace zambrix::sim {

SerialEeprom::SerialEeprom(const ChipSpec& spec, std::vector<std::uint8_t> memory,
                           std::uint64_t seed)
    : ChipBase(spec, std::move(memory), seed), page_(spec.page_size, -1) {}

void SerialEeprom::Settle(std::uint64_t now) {
  if (!busy_ || now < busy_until_) return;
  busy_ = false;
  for (std::uint32_t i = 0; i < page_.size(); ++i) {
    if (page_[i] >= 0 && !Dead(page_base_ + i) && !Destroyed()) {
      mem_[page_base_ + i] = static_cast<std::uint8_t>(page_[i]);
    }
  }
  std::fill(page_.begin(), page_.end(), std::int16_t{-1});
}

void SerialEeprom::OnStart() {
  phase_ = Phase::kDeviceAddress;
  sending_ = false;
  rises_ = 0;
  shift_ = 0;
  nack_ = false;
  out_ = true;
  data_bytes_ = 0;  // a page not ended by a stop is not written
  std::fill(page_.begin(), page_.end(), std::int16_t{-1});
}

// The write cycle starts on the stop after at least one data byte.
void SerialEeprom::OnStop(std::uint64_t now) {
  if (phase_ == Phase::kWriteData && data_bytes_ > 0) {
    busy_ = true;
    busy_until_ = now + WriteCycle(Spec().write_cycle_ns);
  }
  phase_ = Phase::kStandby;
  sending_ = false;
  out_ = true;
}

void SerialEeprom::OnRise(bool sda) {
  if (phase_ == Phase::kStandby) return;
  ++rises_;
  if (sending_) {
    if (rises_ == 9) master_ack_ = !sda;
  } else if (rises_ <= 8) {
    shift_ = static_cast<std::uint8_t>((shift_ << 1) | (sda ? 1 : 0));
  }
}

void SerialEeprom::LoadNextByte() {
  tx_ = Destroyed() ? Garbage(counter_) : mem_[counter_];
  counter_ = (counter_ + 1) % Spec().size;  // rolls over at the end of the chip
  out_ = (tx_ & 0x80) != 0;
}

void SerialEeprom::OnFall() {
  if (phase_ == Phase::kStandby || rises_ == 0) return;  // the fall that ends a start
  if (sending_) {
    if (rises_ < 8) {
      out_ = ((tx_ >> (7 - rises_)) & 1) != 0;
    } else if (rises_ == 8) {
      out_ = true;  // the master's acknowledge slot
    } else {
      rises_ = 0;
      if (master_ack_) {
        LoadNextByte();
      } else {
        phase_ = Phase::kStandby;  // not acknowledged: wait for the stop
        sending_ = false;
        out_ = true;
      }
    }
    return;
  }
  if (rises_ == 8) {
    nack_ = !ByteReceived(shift_);
    out_ = nack_;  // acknowledge: pull SDA low for the ninth clock
  } else if (rises_ == 9) {
    rises_ = 0;
    shift_ = 0;
    out_ = true;
    if (nack_) {
      phase_ = Phase::kStandby;
    } else if (phase_ == Phase::kRead) {
      sending_ = true;
      LoadNextByte();  // the first bit follows the acknowledge clock at once
    }
  }
}

bool SerialEeprom::ByteReceived(std::uint8_t byte) {
  const auto& s = Spec();
  switch (phase_) {
    case Phase::kDeviceAddress: {
      const std::uint32_t select = (byte >> 1) & 7;
      // Address pins A0..A2 are grounded: bits that are not block bits must be 0.
      if ((byte >> 4) != 0xA || (select >> s.block_bits) != 0) return false;
      block_ = select;
      if (byte & 1) {
        phase_ = Phase::kRead;
      } else {
        phase_ = s.address_bytes == 2 ? Phase::kWordHigh : Phase::kWordLow;
      }
      return true;
    }
    case Phase::kWordHigh:
      word_ = (byte & 0x0Fu) << 8;  // the top four bits are ignored
      phase_ = Phase::kWordLow;
      return true;
    case Phase::kWordLow:
      word_ = s.address_bytes == 2 ? (word_ | byte) : ((block_ << 8) | byte);
      counter_ = word_ % s.size;
      page_base_ = counter_ & ~(std::uint32_t{s.page_size} - 1);
      phase_ = Phase::kWriteData;
      return true;
    case Phase::kWriteData: {
      const std::uint32_t in_page = counter_ & (s.page_size - 1u);
      page_[in_page] = byte;
      counter_ = page_base_ | ((in_page + 1) & (s.page_size - 1u));  // wraps within the page
      ++data_bytes_;
      return true;
    }
    case Phase::kRead:
    case Phase::kStandby:
      break;
  }
  return false;
}

ChipOutput SerialEeprom::Output() const {
  return {static_cast<std::uint8_t>(out_ ? 0xFF : 0x7F), busy_ ? busy_until_ : kNever};
}

ChipOutput SerialEeprom::Advance(std::uint64_t now) {
  Settle(now);
  return Output();
}

// SCL falling is taken before a simultaneous SDA change, SCL rising after it,
// so that one latch load never makes a false start or stop.
ChipOutput SerialEeprom::Update(const ChipPins& p, std::uint64_t now) {
  const ChipOutput out = UpdateBus(p, now);
  timing_.See(scl_, line_, counter_, now, Violations());
  return out;
}

ChipOutput SerialEeprom::UpdateBus(const ChipPins& p, std::uint64_t now) {
  Settle(now);
  const bool master = (p.data & 0x80) != 0;
  if (busy_) {  // inputs are ignored during the write cycle
    out_ = true;
    scl_ = p.scl;
    line_ = master;
    return Output();
  }
  if (scl_ && !p.scl) {
    scl_ = false;
    OnFall();
  }
  const bool line = master && out_;
  if (line != line_ && scl_) {
    if (line) {
      OnStop(now);
    } else {
      OnStart();
    }
  }
  line_ = master && out_;
  if (!scl_ && p.scl) {
    scl_ = true;
    OnRise(line_);
  }
  line_ = master && out_;
  return Output();
}

}  // namespace zambrix::sim
