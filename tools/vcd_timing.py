#!/usr/bin/env python3
"""Measures a simulated board's trace (--sim-trace FILE.vcd) against the chip's
datasheet figures, independently of the simulator's own timing checks.

    tools/vcd_timing.py TRACE.vcd --chip 27C512 [--json] [--limit N]

It reads only the VCD: the latch lines, the data lines and the chip's pins
(address, ce_n, oe_n, pgm_we_n, vcc, vpp, scl, sda). From them it finds the
program pulses of a UV EPROM (and their set-up and hold times), the page loads
and write cycles of the X28C256, the two-wire bus times of a 24Cxx, and any
moment where the board's data latch drives the data lines while the chip's
outputs are on. It prints each measured figure beside the datasheet's and every
figure outside it; the exit status is 1 when there is one.

The datasheet figures are written out below from the datasheets' AC tables
(quick-pulse CMOS parts, the NMOS parts' standard and intelligent algorithms,
the X28C256 and the 100 kHz two-wire bus); they are not taken from the program
or the simulator.
"""
import argparse
import json
import sys

US = 1000
MS = 1000 * US

# Program pulse window (ns) and how the pulse is applied:
#   oevpp: VPP on OE/VPP, CE pulsed low; ce: VPP pin, CE pulsed low with OE high;
#   pgm: VPP pin, PGM pulsed low with CE low and OE high.
EPROMS = {
    "2732": ("oevpp", 45 * MS, 55 * MS),
    "2732A": ("oevpp", 45 * MS, 55 * MS),
    "2764": ("pgm", 0.95 * MS, 1.05 * MS),
    "27C64": ("pgm", 0.95 * MS, 1.05 * MS),
    "27128": ("pgm", 0.95 * MS, 1.05 * MS),
    "27C128": ("pgm", 0.95 * MS, 1.05 * MS),
    "27256": ("ce", 0.95 * MS, 1.05 * MS),
    "27C256": ("ce", 95 * US, 105 * US),
    "27C512": ("oevpp", 95 * US, 105 * US),
    "27C010": ("pgm", 95 * US, 105 * US),
    "27C020": ("pgm", 95 * US, 105 * US),
    "27C040": ("ce", 95 * US, 105 * US),
    "27C080": ("oevpp", 45 * US, 55 * US),
}
EPROM_SETUP = 2 * US  # tAS, tDS, tOES, tVPS, tVCS
EPROM_HOLD = 2 * US   # tDH, tOEH
VPP_APPLIED = 6.5     # volts above which a VPP input is in programming mode

X28C256 = {"tBLC": 100 * US, "tWC": 10 * MS}

# 100 kHz figures: a programmer that does not know the part's grade keeps them.
I2C = {"tHIGH": 4.0 * US, "tLOW": 4.7 * US, "tSU:STA": 4.7 * US, "tHD:STA": 4.0 * US,
       "tSU:STO": 4.0 * US, "tBUF": 4.7 * US, "tSU:DAT": 0.25 * US}
SERIALS = ("24C08", "24C16", "24C32")


def parse_vcd(path):
    """Yields (time, {name: value}) for each time stamp, with every value at
    that time. Buses written bit by bit ("latch3 [6]") are gathered."""
    ids = {}  # id -> (name, bit or None)
    widths = {}
    with open(path, "r", encoding="ascii") as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            if words[0] == "$var":
                kind, ident, name = words[1], words[3], words[4]
                bit = None
                if len(words) > 6 and words[5].startswith("["):
                    bit = int(words[5][1:-1])
                    widths[name] = max(widths.get(name, 0), bit + 1)
                ids[ident] = (name, bit, kind == "real")
            if words[0] == "$enddefinitions":
                break
        values = {name: 0 for name, _, _ in ids.values()}
        time = None
        for line in f:
            line = line.strip()
            if not line or line.startswith("$"):
                continue
            if line[0] == "#":
                if time is not None:
                    yield time, values
                time = int(line[1:])
                continue
            if line[0] == "r":
                number, ident = line[1:].split()
                values[ids[ident][0]] = float(number)
                continue
            bit_value, ident = int(line[0]), line[1:]
            name, bit, _ = ids[ident]
            if bit is None:
                values[name] = bit_value
            else:
                values[name] = (values[name] & ~(1 << bit)) | (bit_value << bit)
        if time is not None:
            yield time, values


class Figures:
    """The smallest and largest of each measured figure, and the violations."""

    def __init__(self, limit):
        self.low, self.high, self.count = {}, {}, {}
        self.violations = []
        self.limit = limit
        self.violation_count = 0

    def measure(self, symbol, ns):
        self.low[symbol] = min(self.low.get(symbol, ns), ns)
        self.high[symbol] = max(self.high.get(symbol, ns), ns)
        self.count[symbol] = self.count.get(symbol, 0) + 1

    def check_min(self, symbol, ns, minimum, at, what):
        self.measure(symbol, ns)
        if ns < minimum:
            self.violate(at, f"{what}: {us(ns)} ({symbol} >= {us(minimum)})")

    def violate(self, at, text):
        self.violation_count += 1
        if len(self.violations) < self.limit:
            self.violations.append((at, text))


def us(ns):
    return f"{ns / US:.3f} µs" if ns < MS else f"{ns / MS:.3f} ms"


class EpromCheck:
    def __init__(self, chip, figures):
        self.style, self.pw_min, self.pw_max = EPROMS[chip]
        self.f = figures
        self.changed = {}  # signal -> time of its last change
        self.prev = None
        self.pulse_start = None
        self.pulse_end = None
        self.holding = set()  # signals whose first change after the last pulse is still to come
        self.contention_since = None
        self.contention_ns = 0

    def pulsing(self, v):
        vpp = v["vpp"] > VPP_APPLIED and v["vcc"] == 1
        if self.style == "oevpp":
            return vpp and v["ce_n"] == 0
        if self.style == "ce":
            return vpp and v["ce_n"] == 0 and v["oe_n"] == 1
        return vpp and v["ce_n"] == 0 and v["pgm_we_n"] == 0 and v["oe_n"] == 1

    def outputs_on(self, v):
        if v["vcc"] != 1 or v["oe_n"] != 0:
            return False
        if self.style == "ce":  # program verify: CE does not matter under VPP
            return v["ce_n"] == 0 or v["vpp"] > VPP_APPLIED
        return v["ce_n"] == 0

    def step(self, t, v):
        if self.prev is None:
            self.first = t
        signals = {"address": v["address"], "data": v["data_lines"], "oe": v["oe_n"],
                   "vpp": v["vpp"], "vcc": v["vcc"]}
        if self.prev is not None:
            for name, value in signals.items():
                if value != self.prev[name]:
                    self.changed[name] = t
                    self.hold_check(name, t)
                    if name == "address" and self.pulse_start is not None:
                        self.f.violate(t, "address changed during the program pulse (tAH)")
        pulsing = self.pulsing(v)
        if pulsing and self.pulse_start is None:
            self.pulse_start = t
            self.setup_check(t)
        elif not pulsing and self.pulse_start is not None:
            width = t - self.pulse_start
            self.f.measure("tPW", width)
            if not self.pw_min <= width <= self.pw_max:
                self.f.violate(t, f"program pulse of {us(width)} "
                               f"(tPW {us(self.pw_min)} .. {us(self.pw_max)})")
            self.pulse_start, self.pulse_end = None, t
            self.holding = {"data", "oe", "vpp"}
        self.contention(t, v)
        self.prev = signals

    def setup_check(self, t):
        names = [("address", "tAS"), ("data", "tDS"), ("vpp", "tVPS"), ("vcc", "tVCS")]
        if self.style != "oevpp":
            names.append(("oe", "tOES"))
        for name, symbol in names:
            since = t - self.changed.get(name, 0)
            self.f.check_min(symbol, since, EPROM_SETUP, t, f"{name} set up before the pulse")

    def hold_check(self, name, t):
        if name not in self.holding or self.pulse_start is not None:
            return
        self.holding.discard(name)
        if name == "oe" and self.style == "oevpp":
            return  # OE/VPP: measured on its voltage
        symbol = "tDH" if name == "data" else "tOEH"
        self.f.check_min(symbol, t - self.pulse_end, EPROM_HOLD, t, f"{name} held after the pulse")

    def contention(self, t, v):
        latch_on = (v["latch3"] & 0x40) == 0
        both = latch_on and self.outputs_on(v)
        if both and self.contention_since is None:
            self.contention_since = t
        elif not both and self.contention_since is not None:
            length = t - self.contention_since
            if self.prev is None or self.contention_since == self.first:
                # The latches as the board powered up, before the program's first load.
                self.f.measure("at power-up, until the first latch load", length)
            else:
                self.contention_ns += length
                self.f.measure("contention", length)
                self.f.violate(self.contention_since, f"data latch and chip both drove the data "
                               f"lines for {us(length)}")
            self.contention_since = None


class EepromCheck:
    """X28C256: page loads (write enable falling edge to the next within tBLC)
    and no write while the write cycle runs (tWC after the load closed)."""

    def __init__(self, figures):
        self.f = figures
        self.writing = False
        self.last_fall = None
        self.contending = False

    def step(self, t, v):
        write = v["vcc"] == 1 and v["ce_n"] == 0 and v["pgm_we_n"] == 0 and v["oe_n"] == 1
        if write and not self.writing:
            if self.last_fall is not None:
                gap = t - self.last_fall
                if gap <= X28C256["tBLC"]:
                    self.f.measure("byte load gap (tBLC)", gap)
                else:
                    closed = self.last_fall + X28C256["tBLC"]
                    self.f.check_min("wait after the load closed (tWC)", t - closed,
                                     X28C256["tWC"], t, "write after a page load")
            self.last_fall = t
        self.writing = write
        outputs = v["vcc"] == 1 and v["ce_n"] == 0 and v["oe_n"] == 0
        both = outputs and (v["latch3"] & 0x40) == 0
        if both and not self.contending:
            self.f.violate(t, "data latch and chip both drove the data lines")
        self.contending = both


class BusCheck:
    """The two-wire bus inside transfers: from a start to its stop, once a whole
    byte has been clocked. A start and a stop without a byte between them are
    no transfer to the chip, which ignores them; the board makes such edges on
    the shared lines when it drives the parallel socket (the detection's
    patterns, a device selection). They are counted apart."""

    BYTE = 8

    def __init__(self, figures):
        self.f = figures
        self.scl = self.sda = None
        self.scl_rise = self.scl_fall = self.sda_change = None
        self.start = self.stop = None
        self.in_transfer = False
        self.clocks = 0
        self.pending = []  # figures of the transfer until it has clocked a byte

    def check_min(self, symbol, ns, minimum, at, what):
        if self.clocks >= self.BYTE:
            self.f.check_min(symbol, ns, minimum, at, what)
        else:
            self.pending.append((symbol, ns, minimum, at, what))

    def judge_pending(self):
        for figure in self.pending:
            self.f.check_min(*figure)
        self.pending = []

    def drop_pending(self):
        if self.pending:
            self.f.measure("edges outside transfers (ignored)", len(self.pending))
        self.pending = []

    def step(self, t, v):
        scl, sda = v["scl"], v["sda"]
        if self.scl is None:
            self.scl, self.sda = scl, sda
            return
        if scl != self.scl and scl == 0:  # the fall comes before a data change
            self.on_fall(t)
        if sda != self.sda:
            self.on_sda(t, sda)
        if scl != self.scl and scl == 1:
            self.on_rise(t)
        self.scl, self.sda = scl, sda

    def on_fall(self, t):
        if self.in_transfer and self.scl_rise is not None:
            self.check_min("tHIGH", t - self.scl_rise, I2C["tHIGH"], t, "SCL high")
        if self.in_transfer and self.start is not None and self.start > (self.scl_rise or 0):
            self.check_min("tHD:STA", t - self.start, I2C["tHD:STA"], t, "start hold")
        self.scl_fall = t

    def on_rise(self, t):
        if self.in_transfer:
            self.clocks += 1
        if self.in_transfer and self.scl_fall is not None:
            self.check_min("tLOW", t - self.scl_fall, I2C["tLOW"], t, "SCL low")
            if self.sda_change is not None and self.sda_change > self.scl_fall:
                self.check_min("tSU:DAT", t - self.sda_change, I2C["tSU:DAT"], t, "data set-up")
        if self.in_transfer and self.clocks == self.BYTE:
            self.judge_pending()
        self.scl_rise = t

    def on_sda(self, t, sda):
        if self.scl == 1 and sda == 0:  # start
            if self.clocks < self.BYTE:
                self.drop_pending()
            was_in_transfer = self.in_transfer
            self.clocks = 0
            if self.scl_rise is not None:
                self.check_min("tSU:STA", t - self.scl_rise, I2C["tSU:STA"], t, "start set-up")
            if self.stop is not None and not was_in_transfer:
                self.check_min("tBUF", t - self.stop, I2C["tBUF"], t, "bus free before start")
            self.start, self.in_transfer = t, True
        elif self.scl == 1 and sda == 1:  # stop
            if self.in_transfer and self.scl_rise is not None:
                self.check_min("tSU:STO", t - self.scl_rise, I2C["tSU:STO"], t, "stop set-up")
            self.drop_pending()
            self.stop, self.in_transfer = t, False
        self.sda_change = t


class WriteCycles:
    """Every bus write cycle a part sees: CE and WE low with OE high (any part
    with a write enable; --writes lists them, e.g. for the board's detection)."""

    def __init__(self):
        self.since = None
        self.cycles = []  # (start, length, address, data)

    def step(self, t, v):
        write = v["vcc"] == 1 and v["ce_n"] == 0 and v["pgm_we_n"] == 0 and v["oe_n"] == 1
        if write and self.since is None:
            self.since, self.at = t, (v["address"], v["data_lines"])
        elif not write and self.since is not None:
            self.cycles.append((self.since, t - self.since) + self.at)
            self.since = None


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("trace")
    parser.add_argument("--chip", required=True, help="the part in the socket, e.g. 27C512")
    parser.add_argument("--json", action="store_true", help="print the figures as JSON")
    parser.add_argument("--limit", type=int, default=20, help="violations listed (all counted)")
    parser.add_argument("--writes", action="store_true",
                        help="only list the write cycles (CE and WE low, OE high) of any part")
    args = parser.parse_args()
    chip = args.chip.upper()
    figures = Figures(args.limit)
    if args.writes:
        writes = WriteCycles()
        for t, values in parse_vcd(args.trace):
            writes.step(t, values)
        print(f"{len(writes.cycles)} write cycle(s)")
        for start, length, address, data in writes.cycles:
            print(f"  at {us(start)}: {us(length)} long, address {address:X}h, data {data:02X}h")
        return 1 if writes.cycles else 0
    if chip in EPROMS:
        check = EpromCheck(chip, figures)
    elif chip == "X28C256":
        check = EepromCheck(figures)
    elif chip in SERIALS:
        check = BusCheck(figures)
    else:
        sys.exit(f"vcd_timing.py: no datasheet figures for {args.chip}")
    end = 0
    for t, values in parse_vcd(args.trace):
        check.step(t, values)
        end = t
    if isinstance(check, EpromCheck) and check.contention_since is not None:
        check.contention(end + 1, {**values, "latch3": 0x40})
    result = {"chip": chip, "trace_ns": end, "violations": figures.violation_count,
              "figures": {s: {"min_ns": figures.low[s], "max_ns": figures.high[s],
                              "count": figures.count[s]} for s in sorted(figures.low)},
              "first_violations": [{"ns": t, "text": text} for t, text in figures.violations]}
    if args.json:
        print(json.dumps(result, indent=1))
    else:
        print(f"{chip}: {us(end)} of trace, {figures.violation_count} figure(s) outside the datasheet")
        for s in sorted(figures.low):
            print(f"  {s:36} {us(figures.low[s]):>12} .. {us(figures.high[s]):>12}"
                  f"  ({figures.count[s]})")
        for t, text in figures.violations:
            print(f"  at {us(t)}: {text}")
    return 1 if figures.violation_count else 0


if __name__ == "__main__":
    sys.exit(main())
