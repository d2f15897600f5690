// Every chip operation against every fault of the simulated board and of the
// files, run as a script runs the command line: the exit status, the line that
// says what happened, the alert, no success line after a failure, files left
// whole, and the board left reset. The table it fills is docs/faults.md;
// tools/faults.sh writes it again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/vcd_replay.h"

namespace {

namespace fs = std::filesystem;
using zambrix::testing::RandomBytes;
using zambrix::testing::ReadWholeFile;
using zambrix::testing::Replay;
using zambrix::testing::TempDir;
using zambrix::testing::WriteWholeFile;

// ---- the command line as a process ----------------------------------------

struct Outcome {
  int status = -1;
  std::string err;
};

// Runs the program with `args`, standard output and error into files of `dir`.
// Without the capabilities that let root pass file permissions, so that an
// unreadable file and a read-only folder are what they are for any operator.
// The child only makes system calls: the columns of the table run in threads.
Outcome RunCli(const std::vector<std::string>& args, const fs::path& dir) {
  const fs::path out = dir / "stdout.txt", err = dir / "stderr.txt";
  std::vector<char*> argv{const_cast<char*>(ZAMBRIX_CLI_BINARY)};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    for (int cap : {1 /* DAC override */, 2 /* DAC read search */})
      ::prctl(PR_CAPBSET_DROP, cap, 0, 0, 0);
    const int in = ::open("/dev/null", O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0), ::dup2(o, 1), ::dup2(e, 2);
    ::execv(ZAMBRIX_CLI_BINARY, argv.data());
    ::_exit(127);
  }
  int raw = 0;
  ::waitpid(pid, &raw, 0);
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(err)};
}

// ---- the board as the simulator's trace left it ----------------------------

// "reset": programming voltage off, chip deselected, data latch off;
// "untouched": never loaded (no board answered); otherwise the latches.
std::string BoardState(const fs::path& vcd) {
  if (!fs::exists(vcd)) return "untouched";  // refused before the board was opened
  const Replay trace(std::ifstream(vcd), true);
  if (trace.name_of.empty()) return "unknown (no latches in the trace)";
  std::array<std::uint32_t, 5> l{};
  for (std::size_t n = 0; n < l.size(); ++n)
    l[n] = Replay::Bus(trace.now, "latch" + std::to_string(n), 8);
  if (l == std::array<std::uint32_t, 5>{}) return "untouched";
  if (l[0] == 0x40 && (l[3] & 0xC4) == 0xC4) return "reset";
  char text[64];
  std::snprintf(text, sizeof text, "NOT reset (latch 0 %02Xh, latch 3 %02Xh)", l[0], l[3]);
  return text;
}

// ---- the operations --------------------------------------------------------

enum class Start { kErased, kImage, kOther };

struct Op {
  const char* name;
  std::string command;  // "IN" and "OUT" stand for the files
  std::size_t size;
  Start start;
  int vanish;  // port accesses after which the board goes, mid-operation
  std::vector<std::string> Words() const {
    std::istringstream in(command);
    return {std::istream_iterator<std::string>(in), {}};
  }
  bool Has(const std::string& word) const {
    return (" " + command + " ").find(" " + word + " ") != std::string::npos;
  }
  bool Reads() const { return Has("IN"); }
  bool Writes() const { return Has("OUT"); }
  // The device given after -d, and put in the simulated socket.
  std::string Chip() const {
    const auto words = Words();
    return *(std::find(words.begin(), words.end(), "-d") + 1);
  }
};

const std::vector<Op>& Ops() {
  static const std::vector<Op> ops = {
      {"read", "read -d 27C256 -o OUT", 32768, Start::kImage, 3000},
      {"blank check", "blank -d 27C256", 32768, Start::kErased, 3000},
      {"program EPROM", "program -d 27C256 -i IN --yes", 32768, Start::kErased, 3000},
      {"program EEPROM", "program -d X28C256 -i IN --yes", 32768, Start::kOther, 3000},
      {"verify", "verify -d 27C256 -i IN", 32768, Start::kImage, 3000},
      {"erase", "erase -d X28C256 --yes", 32768, Start::kOther, 3000},
      {"identification", "--catalogue extended id -d AM29F010", 131072, Start::kErased, 300},
      {"serial read", "read -d 24C16 -o OUT", 2048, Start::kImage, 3000},
      {"serial program", "program -d 24C16 -i IN --yes --verify", 2048, Start::kErased, 3000},
      {"program flash", "--catalogue extended program -d AM29F010 -i IN --yes", 131072,
       Start::kErased, 3000},
  };
  return ops;
}

// ---- the faults and what each cell must show -------------------------------

// A cell: "n/a: why", or "STATUS[!]|the line that must show" where "!" is the
// alert, or "0~|the line|why" for a run that reports success although its
// result is wrong, because nothing the operation reads can show the fault.
struct Fault {
  const char* name;
  const char* sim_fault;           // --sim-fault, empty for none
  const char* file;                // file fault, empty for none
  std::vector<std::string> cells;  // one per operation, in the order of Ops()
  const char* bytes = "";          // --bytes for the operations that take it
};

constexpr const char* kNoBoard = "3|no ZAMBRIX board found on any LPT port";
constexpr const char* kNoInput = "n/a: reads no file";
constexpr const char* kNoOutput = "n/a: saves no file";
// Runs that report success with a wrong result: nothing the operation reads
// can tell the fault from the chip.
const std::string kLooksErased = "an empty socket reads as an erased chip";
constexpr const char* kNoFile = "n/a: reads and saves no file";
constexpr const char* kProgramFailure = "1!|*** Programming Failure ***";
constexpr const char* kNoMatch = "1!|Device Memory DOES NOT VERIFY with Buffer Contents";
constexpr const char* kNoAck = "1!|Device 24CXX DOES NOT RESPOND - ACK Error";
constexpr const char* kCannotOpen = "4|cannot open DIR/in.bin: Permission denied";
constexpr const char* kFifoIn = "4|cannot open DIR/fifo: it is a FIFO, not a file";
constexpr const char* kFifoOut =
    "4|cannot write DIR/fifo: it is a FIFO or socket that nobody reads";
constexpr const char* kLocked =
    "4|cannot write DIR/locked/out.bin: cannot create a file in its folder: Permission denied";
constexpr const char* kSameIn = "2|--log DIR/in.bin names the same file as -i";
constexpr const char* kSameChip =
    "2|--log DIR/chip.bin names the same file as the simulated chip's file";
constexpr const char* kOutDenied = "4|cannot write DIR/out.bin: Permission denied";
constexpr const char* kChipDenied =
    "4|cannot write the simulated chip's file DIR/chip.bin: Permission denied";
constexpr const char* kNoBytes = "n/a: takes no byte selection";
std::string Oversize(const std::string& last, const std::string& device,
                     const std::string& chip_last) {
  return "2|the image has data up to address " + last + "h, past the last address of the " +
         device + " (" + chip_last + "h)";
}

// The data-line test before each parallel operation (exit 3, alert, the lines'
// reading), then the two serial cells: a serial socket takes no line test.
std::vector<std::string> LinesRow(const std::string& seen, const std::string& serial_read,
                                  const std::string& serial_program) {
  std::vector<std::string> row;
  const auto lines = [&](const char* before) {
    return "3!|the DATA LINES read " + seen + " is driven before " + before;
  };
  for (const char* before : {"the read", "the blank check", "programming", "programming",
                             "the verify", "the erase", "the identification"})
    row.push_back(lines(before));
  row.push_back(serial_read);
  row.push_back(serial_program);
  row.push_back(lines("programming"));
  return row;
}

// What every operation says when nothing goes wrong.
const std::vector<std::string> kAllWell = {"0|32768 bytes Read from Device",
                                           "0|Device IS BLANK (ERASED)",
                                           "0|Programming Device Successfull",
                                           "0|XICOR 28C256 Programmed Sucessfully",
                                           "0|Device Contents MATCHES with Buffer Contents",
                                           "0|XICOR 28C256 Programmed Sucessfully",
                                           "0|Device ID# 0120 - AMD am29F010 Flash Memory",
                                           "0|2048 bytes Read from Device",
                                           "0|Device Contents MATCHES with Buffer Contents",
                                           "0|Programming Device Successfull"};

// A flash byte still busy after the longest program time its datasheet gives fails.
const std::vector<std::string> kSlowWrite = [] {
  auto row = kAllWell;
  row.back() = kProgramFailure;
  return row;
}();

const std::vector<Fault>& Faults() {
  static const std::vector<Fault> faults = {
      {"no fault", "", "", kAllWell},
      {"no board", "no-board", "", std::vector<std::string>(Ops().size(), kNoBoard)},
      {"empty socket",
       "empty-socket",
       "",
       {"0~|32768 bytes Read from Device|" + kLooksErased,
        "0~|Device IS BLANK (ERASED)|" + kLooksErased, kProgramFailure, kProgramFailure, kNoMatch,
        "0~|XICOR 28C256 Programmed Sucessfully|an empty socket reads back the FFh written",
        "1|Device ID# FFFF -  Not Valid!!!", kNoAck, kNoAck, "1|Device ID# FFFF - Not Supported"}},
      {"data bit 7 stuck at 0", "stuck-bit=7:0", "",
       LinesRow("7Fh when FFh",
                "0~|2048 bytes Read from Device|SDA held low reads as acknowledges and zeros",
                kNoMatch)},
      {"data bit 7 stuck at 1", "stuck-bit=7:1", "", LinesRow("80h when 00h", kNoAck, kNoAck)},
      {"a byte that never programs (64h)",
       "dead-byte=100",
       "",
       {"0|32768 bytes Read from Device", "0|Device IS BLANK (ERASED)", kProgramFailure,
        kProgramFailure, "0|Device Contents MATCHES with Buffer Contents", kProgramFailure,
        "0|Device ID# 0120 - AMD am29F010 Flash Memory", "0|2048 bytes Read from Device", kNoMatch,
        kProgramFailure}},
      {"slow write cycle (50 ms)", "slow-write=50ms", "", kSlowWrite},
      {"board vanishes mid-operation",
       "vanish",
       "",
       {"3!|DOES NOT ANSWER after the read", "3!|DOES NOT ANSWER after the blank check",
        "3!|DOES NOT ANSWER during programming", "3!|DOES NOT ANSWER during programming",
        "3!|DOES NOT ANSWER during the verify", "3!|DOES NOT ANSWER after programming",
        "3!|DOES NOT ANSWER after the identification", "3!|DOES NOT ANSWER after the read",
        "3!|DOES NOT ANSWER during programming", "3!|DOES NOT ANSWER during programming"}},
      {"unreadable input",
       "",
       "unreadable",
       {kNoInput, kNoInput, kCannotOpen, kCannotOpen, kCannotOpen, kNoInput, kNoInput, kNoInput,
        kCannotOpen, kCannotOpen}},
      {"a folder given as the file",
       "",
       "folder",
       {"4|cannot write DIR/folder: it is a folder, not a file", kNoFile,
        "4|cannot open DIR/folder: it is a folder, not a file",
        "4|cannot open DIR/folder: it is a folder, not a file",
        "4|cannot open DIR/folder: it is a folder, not a file", kNoFile, kNoFile,
        "4|cannot write DIR/folder: it is a folder, not a file",
        "4|cannot open DIR/folder: it is a folder, not a file",
        "4|cannot open DIR/folder: it is a folder, not a file"}},
      {"a FIFO given as the file",
       "",
       "fifo",
       {kFifoOut, kNoFile, kFifoIn, kFifoIn, kFifoIn, kNoFile, kNoFile, kFifoOut, kFifoIn,
        kFifoIn}},
      {"full disk on save (/dev/full)",
       "",
       "full",
       {"4|cannot write /dev/full: No space left on device", kNoOutput, kNoOutput, kNoOutput,
        kNoOutput, kNoOutput, kNoOutput, "4|cannot write /dev/full: No space left on device",
        kNoOutput, kNoOutput}},
      {"read-only folder",
       "",
       "read-only",
       {kLocked, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kLocked,
        kNoOutput, kNoOutput}},
      {"output path equal to the input (--log)",
       "",
       "same",
       {"2|--log DIR/out.bin names the same file as -o", kSameChip, kSameIn, kSameIn, kSameIn,
        kSameChip, kSameChip, "2|--log DIR/out.bin names the same file as -o", kSameIn, kSameIn}},
      {"read-only output file (mode 444)",
       "",
       "read-only-out",
       {kOutDenied, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kNoOutput, kOutDenied,
        kNoOutput, kNoOutput}},
      {"read-only chip file (mode 444)", "", "read-only-chip",
       std::vector<std::string>(Ops().size(), kChipDenied)},
      {"image twice the chip's size",
       "",
       "oversize",
       {kNoInput, kNoInput, Oversize("FFFF", "Eprom 27C256", "7FFF"),
        Oversize("FFFF", "Eeprom XICOR X28C256", "7FFF"), Oversize("FFFF", "Eprom 27C256", "7FFF"),
        kNoInput, kNoInput, kNoInput, Oversize("FFF", "Eeprom 24C16 Serial (8 pins)", "7FF"),
        Oversize("3FFFF", "Flash AMD AM29F010", "1FFFF")}},
      {"Low Byte only (--bytes low)",
       "",
       "",
       {kNoBytes, kNoBytes, "0|Programming Device Successfull",
        "0|XICOR 28C256 Programmed Sucessfully", "0|Compared 16384 programmed bytes of 32768 read",
        kNoBytes, kNoBytes, kNoBytes,
        "2|--bytes low is for the parallel chips, not the Eeprom 24C16 Serial (8 pins)",
        "0|Programming Device Successfull"},
       "low"},
  };
  return faults;
}

// ---- one cell --------------------------------------------------------------

// The lines that claim success.
constexpr const char* kSuccessLines[] = {"Successfull",
                                         "Sucessfully",
                                         "Device IS BLANK",
                                         "MATCHES with Buffer",
                                         "bytes Read from Device",
                                         "Flash Memory"};

bool AlertShown(const std::string& err) {
  return err.find("failed (see log)") != std::string::npos ||
         err.find("the board does not answer") != std::string::npos ||
         err.find("data lines do not read back") != std::string::npos ||
         err.find("stopped answering") != std::string::npos;
}

class Cell {
 public:
  Cell(const Op& op, const Fault& fault, const std::string& expected)
      : op_(op), fault_(fault), expected_(expected) {}

  // Runs the cell, checks it, and returns its text for the table.
  std::string Run() {
    if (expected_.rfind("n/a", 0) == 0) return expected_;
    Prepare();
    const auto result = RunCli(Arguments(), dir_.path());
    const auto bar = expected_.find('|'), why = expected_.find('|', bar + 1);
    const std::string flags = expected_.substr(0, bar),
                      says = expected_.substr(bar + 1, why - bar - 1);
    const int status = std::atoi(flags.c_str());
    const bool alert = flags.find('!') != std::string::npos;
    const bool unseen = flags.find('~') != std::string::npos;
    const std::string where = std::string(op_.name) + " / " + fault_.name + "\n" + result.err;
    EXPECT_EQ(result.status, status) << where;
    const std::string line = Expanded(says);
    EXPECT_NE(result.err.find(line), std::string::npos) << "no \"" << line << "\": " << where;
    EXPECT_EQ(AlertShown(result.err), alert) << where;
    // What was done before the failure may say so; nothing after it may claim success.
    if (const auto failed = result.err.find(line);
        result.status != 0 && failed != std::string::npos) {
      for (const char* success : kSuccessLines)
        EXPECT_EQ(result.err.find(success, failed), std::string::npos) << success << where;
    }
    CheckFiles(result.status, unseen, where);
    const std::string board = BoardState(dir_ / "trace.vcd");
    if (std::string(fault_.sim_fault) == "vanish") {
      board_ = "gone";  // a board that no longer listens keeps what it last latched
    } else {
      board_ = board;
      EXPECT_TRUE(board == "reset" || board == "untouched") << board << " " << where;
    }
    return Text(result.status, says, AlertShown(result.err),
                unseen ? expected_.substr(why + 1) : std::string());
  }

 private:
  std::string P(const std::string& name) const { return (dir_ / name).string(); }
  bool Special() const { return *fault_.file != '\0'; }

  // The chip as programming `image` with the row's byte selection leaves `chip`:
  // with "low" the even bytes go to its first half and the rest stays.
  std::string Programmed(const std::string& image, std::string chip) const {
    if (std::string(fault_.bytes) != "low") return image.substr(0, op_.size);
    for (std::size_t i = 0; i < op_.size / 2; ++i) chip[i] = image[2 * i];
    return chip;
  }

  void Prepare() {
    const std::string file = fault_.file;
    image_ = RandomBytes(file == "oversize" ? 2 * op_.size : op_.size, 7);
    const std::string other = RandomBytes(op_.size, 11);
    const std::string erased(op_.size, '\xFF');
    chip_ = op_.start == Start::kImage   ? Programmed(image_, erased)
            : op_.start == Start::kOther ? other
                                         : erased;
    WriteWholeFile(dir_ / "in.bin", image_);
    WriteWholeFile(dir_ / "chip.bin", chip_);
    WriteWholeFile(dir_ / "out.bin", kOld);
    if (file == "unreadable") ::chmod(P("in.bin").c_str(), 0);
    if (file == "read-only-out") ::chmod(P("out.bin").c_str(), 0444);
    if (file == "read-only-chip") ::chmod(P("chip.bin").c_str(), 0444);
    if (file == "folder") fs::create_directories(dir_ / "folder" / "inside");
    if (file == "fifo") ::mkfifo(P("fifo").c_str(), 0600);
    if (file == "read-only") {
      fs::create_directories(dir_ / "locked");
      ::chmod(P("locked").c_str(), 0555);
    }
  }

  std::string Target(bool input) const {
    const std::string file = fault_.file;
    if (file == "folder") return P("folder");
    if (file == "fifo") return P("fifo");
    if (file == "full" && !input) return "/dev/full";
    if (file == "read-only" && !input) return P("locked/out.bin");
    return P(input ? "in.bin" : "out.bin");
  }

  std::vector<std::string> Arguments() const {
    const std::string sim = fault_.sim_fault;
    const bool no_chip_file = sim == "empty-socket";
    std::vector<std::string> args{
        "--settings-dir", dir_.str(),
        "--board",        "sim",
        "--sim-trace",    P("trace.vcd"),
        "--sim-chip",     op_.Chip() + (no_chip_file ? "" : ":" + P("chip.bin"))};
    if (sim == "vanish") {
      args.insert(args.end(), {"--sim-fault", "vanish=" + std::to_string(op_.vanish)});
    } else if (!sim.empty()) {
      args.insert(args.end(), {"--sim-fault", sim});
    }
    if (std::string(fault_.file) == "same")
      args.insert(args.end(), {"--log", P(op_.Reads()    ? "in.bin"
                                          : op_.Writes() ? "out.bin"
                                                         : "chip.bin")});
    for (const auto& a : op_.Words())
      args.push_back(a == "IN" ? Target(true) : a == "OUT" ? Target(false) : a);
    if (*fault_.bytes != '\0' && (op_.Has("program") || op_.Has("verify")))
      args.insert(args.end(), {"--bytes", fault_.bytes});
    return args;
  }

  void CheckFiles(int status, bool unseen, const std::string& where) {
    for (const char* name : {"in.bin", "out.bin", "chip.bin"}) ::chmod(P(name).c_str(), 0600);
    ::chmod(P("locked").c_str(), 0755);
    EXPECT_EQ(ReadWholeFile(dir_ / "in.bin"), image_) << "the input changed: " << where;
    if (Special()) {
      EXPECT_TRUE(!fs::exists(dir_ / "locked") || fs::is_empty(dir_ / "locked")) << where;
      EXPECT_TRUE(!fs::exists(dir_ / "folder") || fs::exists(dir_ / "folder" / "inside")) << where;
    }
    const std::string out = ReadWholeFile(dir_ / "out.bin");
    if (status != 0 || !op_.Writes()) {
      EXPECT_EQ(out, kOld) << "a failed run changed the existing file: " << where;
    } else if (unseen) {
      EXPECT_NE(out, chip_) << "the fault should have shown in the saved file: " << where;
    } else {
      EXPECT_EQ(out, chip_) << "the saved file is not the chip: " << where;
    }
    if (std::string(fault_.sim_fault) == "empty-socket") return;
    const std::string chip = ReadWholeFile(dir_ / "chip.bin");
    if (status == 2 || status == 4) {
      EXPECT_EQ(chip, chip_) << "a refused run changed the chip: " << where;
    } else if (status == 0 && op_.Has("erase")) {
      EXPECT_EQ(chip, std::string(op_.size, '\xFF')) << "erased, yet not erased: " << where;
    } else if (status == 0 && op_.Has("program")) {
      EXPECT_EQ(chip, Programmed(image_, chip_)) << "programmed, yet not the image: " << where;
    }
  }

  std::string Text(int status, const std::string& says, bool alert,
                   const std::string& undetected) const {
    std::string text = "exit " + std::to_string(status) + (alert ? ", alert" : "") + ", \"";
    const std::string shown = Shown(says);
    text += shown + "\"";
    if (!undetected.empty()) text += " (undetected: " + undetected + ")";
    if (board_ != "reset") text += ", board " + board_;
    return text;
  }

  // DIR in a line of the table is this run's folder.
  std::string Expanded(std::string line) const {
    for (auto at = line.find("DIR"); at != std::string::npos; at = line.find("DIR", at + 1))
      line.replace(at, 3, dir_.str());
    return line;
  }
  // The line as the table shows it.
  static std::string Shown(std::string line) {
    for (auto at = line.find('|'); at != std::string::npos; at = line.find('|', at + 2))
      line.replace(at, 1, "\\|");
    return line;
  }

  static constexpr const char* kOld = "an existing file that no failed run may touch";
  const Op& op_;
  const Fault& fault_;
  std::string expected_;
  TempDir dir_;
  std::string image_, chip_, board_;
};

// ---- the table -------------------------------------------------------------

// The table of docs/faults.md; the prose above it is the document's own.
std::string Table(const std::vector<std::vector<std::string>>& cells) {
  std::string md = "| fault |";
  for (const auto& op : Ops()) md += std::string(" ") + op.name + " |";
  md += "\n|---|";
  for (std::size_t i = 0; i < Ops().size(); ++i) md += "---|";
  md += "\n";
  for (std::size_t f = 0; f < Faults().size(); ++f) {
    md += std::string("| ") + Faults()[f].name + " |";
    for (const auto& cell : cells[f]) md += " " + cell + " |";
    md += "\n";
  }
  return md;
}

// Each operation's column runs in a thread of its own, its cells one by one.
TEST(FaultMatrix, EveryOperationMeetsEveryFaultAsTheTableSays) {
  const auto& faults = Faults();
  for (const auto& fault : faults) ASSERT_EQ(fault.cells.size(), Ops().size()) << fault.name;
  std::vector<std::vector<std::string>> cells(faults.size(),
                                              std::vector<std::string>(Ops().size()));
  std::vector<std::future<void>> columns;
  for (std::size_t o = 0; o < Ops().size(); ++o) {
    columns.push_back(std::async(std::launch::async, [&cells, &faults, o] {
      for (std::size_t f = 0; f < faults.size(); ++f)
        cells[f][o] = Cell(Ops()[o], faults[f], faults[f].cells[o]).Run();
    }));
  }
  for (auto& column : columns) column.get();
  const std::string doc = ReadWholeFile(fs::path(ZAMBRIX_SOURCE_DIR) / "docs" / "faults.md");
  const std::string md = doc.substr(0, doc.find("| fault |")) + Table(cells);
  if (const char* path = std::getenv("ZAMBRIX_WRITE_FAULTS_MD")) {
    WriteWholeFile(path, md);
    return;
  }
  EXPECT_EQ(doc, md)
      << "docs/faults.md is not what this run shows; write it again with tools/faults.sh";
}

}  // namespace
