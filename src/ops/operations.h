// The chip operations as the window and the command line run them: the
// operator's commands and the procedures under their own names. Each runs the
// family that knows the chip (the parallel sweep, the EPROM pulses, the page
// EEPROM, the byte-mode flash, the two-wire bus); the state they share lives here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/chip_families.h"
#include "ops/byte_flash.h"
#include "ops/eprom.h"
#include "ops/operation_base.h"
#include "ops/operation_state.h"
#include "ops/page_eeprom.h"
#include "ops/parallel_sweep.h"
#include "ops/two_wire.h"

namespace zambrix {

class Operations : public OperationState, public OperationBase {
 public:
  Operations(WindowModel& ui, Report& report, Services& svc, Link& link, DeviceSelection& dev,
             Buffers& buf, LinkEvents& board)
      : OperationBase(OperationParts{ui, report, svc, link, dev, buf, board, *this}),
        sweep_(Parts()),
        eprom_(Parts()),
        page_(Parts()),
        flash_(Parts(), page_, sweep_),
        serial_(Parts()) {}

  // ---- Read ----
  void Read_button_Click();
  void ReadDeviceCode();
  void ReadParallelDevice() { sweep_.Read(); }
  void ReadSerialDevice() { serial_.Read(); }
  void ReadDeviceData();

  // ---- Blank check ----
  void Blank_button_Click();
  void BlankCheckCode();
  void BlankCheckData();
  void BlankCheckParallel() { sweep_.BlankCheck(); }
  void ReportNotBlank() { sweep_.ReportNotBlank(); }

  // ---- Programming and verify ----
  void Program_button_Click();
  void ProgramDeviceCode();
  void ProgramDeviceData();
  // The text of the programming safety question.
  std::string ProgramQuestion() const;
  void P2732() { eprom_.Run(EpromAlgorithm::k2732); }
  void P2764_128() { eprom_.Run(EpromAlgorithm::k2764_128); }
  void P27256_040() { eprom_.Run(EpromAlgorithm::k27256_040); }
  void P27080() { eprom_.Run(EpromAlgorithm::k27080); }
  void P27010_020() { eprom_.Run(EpromAlgorithm::k27010_020); }
  void Verify_button_Click();
  void VerifyDeviceCode();
  void VerifyDeviceData();
  void CollectDifferences() { sweep_.CollectDifferences(); }
  using AddressRange = ParallelSweepOps::AddressRange;
  bool VerifyAllDifferences(std::vector<AddressRange>& differences) {
    return sweep_.VerifyAllDifferences(differences);
  }
  using WriteCheck = ParallelSweepOps::WriteCheck;
  bool CheckWritable(WriteCheck& result) { return sweep_.CheckWritable(result); }
  // After the operator's stop (the board already reset): says so, puts the
  // lights, progress bar and Verify button at rest, and raises the alert when
  // the chip was being written.
  void Stopped();

  // ---- Serial 24Cxx EEPROMs ----
  void Read24Cxx() { serial_.Read24Cxx(); }
  void Verify24Cxx() { serial_.Verify24Cxx(); }
  void Write24C08_16() { serial_.Write24C08_16(); }
  void Write24C32() { serial_.Write24C32(); }
  void VerifySerial() { serial_.VerifySerial(); }
  void SerialLinesAtRest() { serial_.SerialLinesAtRest(); }
  void GetNibbles24CXX() { serial_.GetNibbles24CXX(); }
  void I2cStart() { serial_.I2cStart(); }
  void I2cStop() { serial_.I2cStop(); }
  void I2cSendByte() { serial_.I2cSendByte(); }
  void I2cWaitAck() { serial_.I2cWaitAck(); }
  void I2cSendBytePoll() { serial_.I2cSendBytePoll(); }
  void I2cReadByte() { serial_.I2cReadByte(); }
  void I2cFreeBus() { serial_.I2cFreeBus(); }

  // ---- Flash and parallel EEPROM ----
  void ProgramX28C256() { page_.ProgramPages(true); }
  void ProgramAT29C256() { page_.ProgramPages(false); }
  void ProgramFlashBytes() { flash_.ProgramFlashBytes(); }
  void EraseFlash_button_Click();
  void EraseX28C256() { page_.EraseX28C256(); }
  void EraseFlashChip() { flash_.EraseFlashChip(); }
  void EraseAT29C256() { flash_.EraseAT29C256(); }
  void menuFlashShowCodeID_Click() { flash_.ShowCodeId(); }
  void LoopFlashTest_Click() { flash_.LoopFlashTest(); }
  void ResetFlash_Click() { flash_.ResetFlash(); }
  void FlashIdCycle() { flash_.FlashIdCycle(); }
  void FlashCommandWrite() { page_.FlashCommandWrite(); }
  void XicorCommandWrite() { page_.XicorCommandWrite(); }
  // Software data protection off (20h at the end of the six-byte command).
  void FlashSdpOff() { page_.SdpOffSequence(false, 0x20); }
  void XicorSdpOff() { page_.SdpOffSequence(true, 0x20); }
  void IdentifyFlash() { flash_.IdentifyFlash(); }
  void FlashCommand3() { flash_.FlashCommand3(); }
  void FlashCommand3Slow() { flash_.FlashCommand3Slow(); }
  void FlashProgramByte() { flash_.FlashProgramByte(); }
  void FlashPollByte() { flash_.FlashPollByte(); }
  void Reg3Bit2Clear() { flash_.Reg3Bit2Clear(); }
  void Reg3Bit2Set() { flash_.Reg3Bit2Set(); }

 private:
  OperationParts Parts() {
    return OperationParts{ui_, report_, svc_, link_, dev_, buf_, board_, *this};
  }
  bool DispatchProgram(Algorithm algorithm);
  void FinishProgramming();
  void ProgrammingFinalState();

  ParallelSweepOps sweep_;
  EpromOps eprom_;
  PageEepromOps page_;
  ByteFlashOps flash_;
  TwoWireOps serial_;
};

}  // namespace zambrix
