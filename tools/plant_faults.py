#!/usr/bin/env python3
"""Plants realistic faults in the program one at a time and runs the tests
that guard the code, to see which tests catch each fault.

tools/plant_faults.py [--build DIR] [NAME...]

Each plant replaces one exact piece of a source file (which must occur once),
builds the test programs it names in DIR (default: build), runs them whole,
and puts the file back, whatever happened. A plant whose text is no longer
found is reported as such. Prints one line per plant and the count caught.
"""
import argparse
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# name, kind of fault, file, text in the program, the planted text, test programs
PLANTS = [
    ("eprom-success-after-lost-board", "success after a lost board", "src/ops/program.cpp",
     'if (!ConfirmBoard("after programming")) FailFlag = 1;', 'ConfirmBoard("after programming");',
     ["test_ops"]),
    ("no-check-after-programming", "success after a lost board", "src/ops/program.cpp",
     'if (!ConfirmBoard("after programming")) FailFlag = 1;', '', ["test_ops"]),
    ("eeprom-success-after-lost-board", "success after a lost board", "src/ops/flash_page.cpp",
     'if (!ConfirmBoard("after programming")) return;', 'ConfirmBoard("after programming");',
     ["test_ops"]),
    ("verify-all-without-alert", "verify --all exit 0 on a difference", "src/ops/compare.cpp",
     '" ranges"));\n  report.RaiseErrorAlert();', '" ranges"));', ["test_ops", "test_cli"]),
    ("verify-all-outcome-ignored", "verify --all exit 0 on a difference",
     "src/cli/write_commands.cpp",
     'if (int s = Concluded(c, "verify")) return s;\n  return kOk;',
     'Concluded(c, "verify");\n  return kOk;', ["test_cli"]),
    ("page-write-past-nack", "two-wire transfer past a missing acknowledge", "src/ops/serial.cpp",
     "if (!SerialSend(st_.EraseInProgress ? 0xFF : image.at(static_cast<std::size_t>(i))))\n"
     "      return false;",
     "SerialSend(st_.EraseInProgress ? 0xFF : image.at(static_cast<std::size_t>(i)));", ["test_ops"]),
    ("pages-past-nack", "two-wire transfer past a missing acknowledge", "src/ops/serial.cpp",
     "if (!SerialWritePage(n, std::min(page_size, count - n), two_address_bytes)) return;",
     "SerialWritePage(n, std::min(page_size, count - n), two_address_bytes);", ["test_ops"]),
    ("serial-erase-blames-chip", "lost board blamed on the chip", "src/ops/serial.cpp",
     'if (ConfirmBoard("during the erase")) ReportSerialAckError();', "ReportSerialAckError();",
     ["test_ops"]),
    ("serial-read-blames-chip", "lost board blamed on the chip", "src/ops/serial.cpp",
     'if (!ConfirmBoard("during the read")) return;', "", ["test_ops"]),
    ("serial-program-blames-chip", "lost board blamed on the chip", "src/ops/program.cpp",
     'if (ConfirmBoard("during programming")) ReportSerialAckError();', "ReportSerialAckError();",
     ["test_ops"]),
    ("serial-verify-blames-chip", "lost board blamed on the chip", "src/ops/serial.cpp",
     'if (ConfirmBoard("during the verify")) ReportSerialAckError();', "ReportSerialAckError();",
     ["test_ops"]),
    ("alert-leaves-buttons-on", "alert without the button lock", "src/app/reporter.cpp",
     "for (auto* b : kAlertButtons) core_.ui.SetEnabled(b, false);", "", ["test_app", "test_gui"]),
    ("erase-read-back-ignored", "erase read-back misses a byte", "src/ops/flash_bytes.cpp",
     "if (value == 0xFF) return true;", "if (value == 0xFF || address >= 0) return true;",
     ["test_ops", "test_cli"]),
    ("erase-read-back-of-the-file-only", "erase read-back misses a byte", "src/ops/flash_bytes.cpp",
     "buf_.CodeSize = dev_.DeviceSize;\n", "", ["test_ops", "test_cli"]),
    ("setup-keeps-relative-path", "setup with a relative code file", "src/setup/setups.cpp",
     "if (!code_file.empty()) code_file = std::filesystem::absolute(code_file, ec).string();", "",
     ["test_setup", "test_cli"]),
    ("fsync-error-ignored", "safe save reports success", "src/base/file_io.cpp",
     "if (error.empty() && g_calls.fsync(fd.get()) != 0) error = Reason(errno);",
     "if (error.empty()) g_calls.fsync(fd.get());", ["test_app"]),
    ("rename-error-ignored", "safe save reports success", "src/base/file_io.cpp",
     "if (error.empty() && g_calls.rename(temp.c_str(), path.c_str()) != 0) error = Reason(errno);",
     "if (error.empty()) g_calls.rename(temp.c_str(), path.c_str());", ["test_app"]),
    ("temporary-left-behind", "safe save leaves a temporary file", "src/base/file_io.cpp",
     "if (!error.empty()) ::unlink(temp.c_str());", "", ["test_app"]),
    ("write-error-ends-the-write", "safe save reports success", "src/base/file_io.cpp",
     "      return Reason(errno);\n    }\n    if (n == 0)", "      break;\n    }\n    if (n == 0)",
     ["test_app"]),
    ("short-file-programs-old-bytes", "bytes nobody asked for reach the chip",
     "src/buffers/files.cpp",
     "  std::fill(CodeBuffer.begin() + CodeSize, CodeBuffer.end(), std::uint8_t{0xFF});\n", "",
     ["test_buffers", "test_gui", "test_ops"]),
    ("page-write-past-the-image", "bytes nobody asked for reach the chip", "src/ops/flash_page.cpp",
     "std::clamp<std::int32_t>(buf_.ProgramLength, 0, kPages * kPageBytes);",
     "kPages * kPageBytes;", ["test_ops", "test_cli"]),
    ("serial-write-not-read-back", "success claimed without reading a 24Cxx back",
     "src/ops/serial.cpp", "const bool differs = expected != link.ReadValue;",
     "const bool differs = false;", ["test_ops", "test_cli"]),
    ("program-pulse-short", "a chip driven outside its datasheet", "src/ops/eprom.cpp",
     "const std::uint64_t width = link.Timing.pulse_ns;",
     "const std::uint64_t width = link.Timing.pulse_ns * 9 / 10;", ["test_ops"]),
    ("closed-pipe-ignored", "a closed pipe kills the run mid-programming", "src/cli/main.cpp",
     "for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {", "for (int s : {SIGINT, SIGTERM, SIGHUP}) {",
     ["test_cli"]),
]


def run(cmd, **kw):
    return subprocess.run(cmd, cwd=ROOT, capture_output=True, text=True, **kw)


def failed_tests(build, programs):
    """The names of the tests that fail, or None when the build fails."""
    if run(["cmake", "--build", build, "--target", *programs]).returncode != 0:
        return None
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    failed = []
    for program in programs:
        out = run([os.path.join(build, "bin", program), "--gtest_brief=1"], env=env).stdout
        failed += re.findall(r"^\[  FAILED  \] (\S+\.\S+)", out, re.M)
    return sorted(set(failed))


def plant(build, name, path, text, planted, programs):
    full = os.path.join(ROOT, path)
    with open(full) as f:
        original = f.read()
    if original.count(text) != 1:
        return "no longer applies (the text is not found once)"
    try:
        with open(full, "w") as f:
            f.write(original.replace(text, planted))
        failed = failed_tests(build, programs)
    finally:
        with open(full, "w") as f:
            f.write(original)
    if failed is None:
        return "does not build"
    return "caught by " + ", ".join(failed) if failed else "NOT CAUGHT"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--check", action="store_true",
                        help="only check that each fault's text is in its file once")
    parser.add_argument("names", nargs="*")
    args = parser.parse_args()
    chosen = [p for p in PLANTS if not args.names or p[0] in args.names]
    if args.check:
        stale = [f"{name} ({path})" for name, _, path, text, _, _ in chosen
                 if open(os.path.join(ROOT, path)).read().count(text) != 1]
        for line in stale:
            print(f"{line}: no longer applies (the text is not found once)")
        return 1 if stale else 0
    caught = 0
    for name, kind, path, text, planted, programs in chosen:
        result = plant(args.build, name, path, text, planted, programs)
        caught += result.startswith("caught")
        print(f"{name} ({kind}, {path}): {result}", flush=True)
    print(f"{caught} of {len(chosen)} planted faults caught")
    # The build again as the sources are.
    run(["cmake", "--build", args.build])
    return 0 if caught == len(chosen) else 1


if __name__ == "__main__":
    sys.exit(main())
