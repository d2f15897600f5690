#!/usr/bin/env python3
"""Programs every offered family on the simulated board at speed 0, 50 and 100,
records each run with --sim-trace, and measures the traces with vcd_timing.py
(which reads only the VCD, not the simulator's own checks). Prints the figures
as the tables of docs/timing.md and exits 1 when any figure is outside its
datasheet.

    tools/timing_table.py [--cli build/bin/zambrix-cli] [--model 6] [--access-ns 1000]
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vcd_timing  # noqa: E402

# (catalogue name, simulated part, --vpp, bytes to program, verify)
FAMILIES = [
    ("2732A", "2732A", "21", None, True),
    ("2764", "2764", "21", None, True),
    ("27C128", "27C128", None, None, False),
    ("27256", "27256", None, None, False),
    ("27C256", "27C256", None, None, False),
    ("27C512", "27C512", None, None, False),
    ("27C010", "27C010", None, None, False),
    ("27C020", "27C020", None, None, False),
    ("27C040", "27C040", None, None, False),
    ("27C080", "27C080", None, None, False),
    ("X28C256", "X28C256", None, None, False),
    ("24C08", "24C08", None, 48, True),
    ("24C16", "24C16", None, 48, True),
    ("24C32", "24C32", None, 96, True),
]
SIZES = {"2732A": 4096, "2764": 8192, "27C128": 16384, "27256": 32768, "27C256": 32768,
         "27C512": 65536, "27C010": 131072, "27C020": 262144, "27C040": 524288,
         "27C080": 1048576, "X28C256": 32768}


def image(part, length, seed):
    rnd = random.Random(seed)
    if length is not None:
        return bytes(rnd.randrange(256) for _ in range(length))
    size = SIZES[part]
    if part == "X28C256":
        return bytes(rnd.randrange(256) for _ in range(size))
    data = bytearray([0xFF] * size)
    for i in range(64):  # the start and the end: every address line moves
        data[i] = rnd.randrange(256)
    for i in range(size - 16, size):
        data[i] = rnd.randrange(256)
    return bytes(data)


def run(cli, folder, family, speed, model, access_ns):
    name, part, vpp, length, verify = family
    path = os.path.join(folder, f"{part}.bin")
    with open(path, "wb") as f:
        f.write(image(part, length, speed + 1))
    trace = os.path.join(folder, f"{part}-{speed}.vcd")
    args = [cli, "-q", "--yes", "--board", "sim", "--settings-dir", folder, "--speed", str(speed),
            "--sim-model", str(model), "--sim-access-ns", str(access_ns), "--sim-chip", part,
            "--sim-vpp", vpp or "12.5", "--sim-trace", trace, "program", "-d", name, "-i", path]
    if vpp:
        args += ["--vpp", vpp]
    if verify:
        args.append("--verify")
    done = subprocess.run(args, capture_output=True, text=True)
    figures = vcd_timing.Figures(5)
    if done.returncode != 0:  # the trace still shows what the run did
        figures.violate(0, f"{name} at speed {speed}: the program failed (exit {done.returncode})")
    if part in vcd_timing.EPROMS:
        check = vcd_timing.EpromCheck(part, figures)
    elif part == "X28C256":
        check = vcd_timing.EepromCheck(figures)
    else:
        check = vcd_timing.BusCheck(figures)
    for t, values in vcd_timing.parse_vcd(trace):
        check.step(t, values)
    os.remove(trace)
    return figures


def span(f, symbol):
    if symbol not in f.low:
        return "–"
    low, high = vcd_timing.us(f.low[symbol]), vcd_timing.us(f.high[symbol])
    return low if low == high else f"{low} – {high}"


def least(f, symbol):
    return vcd_timing.us(f.low[symbol]) if symbol in f.low else "–"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cli", default="build/bin/zambrix-cli")
    parser.add_argument("--model", type=int, default=6)
    parser.add_argument("--access-ns", type=int, default=1000)
    args = parser.parse_args()
    outside = 0
    eprom_rows, eeprom_rows, bus_rows = [], [], []
    with tempfile.TemporaryDirectory() as folder:
        for family in FAMILIES:
            part = family[1]
            for speed in (0, 50, 100):
                f = run(args.cli, folder, family, speed, args.model, args.access_ns)
                outside += f.violation_count
                if part in vcd_timing.EPROMS:
                    style, low, high = vcd_timing.EPROMS[part]
                    oe = "tOES" if style != "oevpp" else None
                    eprom_rows.append(
                        f"| {part} | {speed} | {span(f, 'tPW')} ({f.count.get('tPW', 0)}) | "
                        f"{vcd_timing.us(low)} – {vcd_timing.us(high)} | {least(f, 'tAS')} | "
                        f"{least(f, 'tDS')} | {least(f, oe) if oe else 'OE/VPP'} | {least(f, 'tVPS')} | "
                        f"{least(f, 'tDH')} | {least(f, 'tOEH')} | {span(f, 'contention')} | "
                        f"{f.violation_count} |")
                elif part == "X28C256":
                    eeprom_rows.append(
                        f"| {part} | {speed} | {span(f, 'byte load gap (tBLC)')} | ≤ 100 µs | "
                        f"{least(f, 'wait after the load closed (tWC)')} | ≥ 10 ms | "
                        f"{f.violation_count} |")
                else:
                    bus_rows.append(
                        f"| {part} | {speed} | " + " | ".join(
                            least(f, s) for s in ("tHIGH", "tLOW", "tSU:STA", "tHD:STA", "tSU:STO",
                                                  "tBUF", "tSU:DAT")) + f" | {f.violation_count} |")
    print(f"Model {args.model}, {args.access_ns} ns a port access. Smallest set-up and hold "
          "times (datasheet: 2 µs each); contention: none is '–'.\n")
    print("| part | speed | tPW (pulses) | datasheet tPW | tAS | tDS | tOES | tVPS | tDH | "
          "tOEH | contention | outside |")
    print("|---|---|---|---|---|---|---|---|---|---|---|---|")
    print("\n".join(eprom_rows))
    print("\n| part | speed | byte-load gap | datasheet | load closed to next write | datasheet "
          "| outside |")
    print("|---|---|---|---|---|---|---|")
    print("\n".join(eeprom_rows))
    print("\n| part | speed | tHIGH | tLOW | tSU:STA | tHD:STA | tSU:STO | tBUF | tSU:DAT | outside |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    print("| datasheet (100 kHz) | | ≥ 4 µs | ≥ 4.7 µs | ≥ 4.7 µs | ≥ 4 µs | ≥ 4 µs | ≥ 4.7 µs "
          "| ≥ 0.25 µs | |")
    print("\n".join(bus_rows))
    return 1 if outside else 0


if __name__ == "__main__":
    sys.exit(main())
