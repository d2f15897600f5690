#!/usr/bin/env python3
"""Writes docs/benchmarks.md from the benchmarks' JSON output (tools/bench.sh).

bench_table.py JSON_DIR MARKDOWN
The budget rows of the existing file are kept as they are."""
import glob, json, os, platform, re, sys

json_dir, md_path = sys.argv[1], sys.argv[2]

runs = {}
context = {}
for path in sorted(glob.glob(os.path.join(json_dir, '*.json'))):
    with open(path) as f:
        data = json.load(f)
    context = data.get('context', context)
    for b in data.get('benchmarks', []):
        if b.get('run_type', 'iteration') != 'iteration' or b.get('error_occurred'):
            continue
        runs[b['name']] = b


def ms(b):
    unit = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0, 's': 1e3}[b.get('time_unit', 'ns')]
    return b['real_time'] * unit


def find(prefix):
    for name, b in runs.items():
        if name.startswith(prefix):
            return b
    return None


# What the chip itself needs (the datasheet minimum) and the fewest accesses a
# byte can take on this board, per operation.
#   read: tACC 200 ns a byte; 8 accesses (one low-address latch load of 4
#         accesses, one two-nibble read of 4);
#   EPROM programming: one pulse of the family's shortest programming time a byte
#         (2732A 50 ms in all, 27C64/27C128 1 ms intelligent pulses, the
#         quick-pulse parts 100 us, 27C080 50 us); 16 accesses (address low,
#         data, pulse on/off, read-back);
#   X28C256: 512 pages x tWC 5 ms typical; 24Cxx: pages x tWR 5 ms, reads at
#         100 kHz, 9 clocks a byte.
ROWS = [
    ('Read 27C256', 'BM_Operation/Read_27C256', 32768 * 200e-9, 8),
    ('Read 27C080', 'BM_Operation/Read_27C080', 1048576 * 200e-9, 8),
    ('Blank check 27C256', 'BM_Operation/Blank_27C256', 32768 * 200e-9, 8),
    ('Verify 27C256', 'BM_Operation/Verify_27C256', 32768 * 200e-9, 8),
    ('Program 2732A (P2732)', 'BM_ProgramWholeChip/P2732_2732A', 4096 * 50e-3, 16),
    ('Program 27C64 (P2764_128)', 'BM_ProgramWholeChip/P2764_128_27C64', 8192 * 1e-3, 16),
    ('Program 27C128 (P2764_128)', 'BM_ProgramWholeChip/P2764_128_27C128', 16384 * 1e-3, 16),
    ('Program 27C256 (P27256_040)', 'BM_ProgramWholeChip/P27256_040_27C256', 32768 * 100e-6, 16),
    ('Program 27C512 (P27080)', 'BM_ProgramWholeChip/P27080_27C512', 65536 * 100e-6, 16),
    ('Program 27C010 (P27010_020)', 'BM_ProgramWholeChip/P27010_020_27C010', 131072 * 100e-6, 16),
    ('Program 27C080 (P27080)', 'BM_ProgramWholeChip/P27080_27C080', 1048576 * 50e-6, 16),
    ('Program X28C256 (pages)', 'BM_ProgramX28C256', 512 * 5e-3, None),
    ('Erase X28C256', 'BM_Operation/Erase_X28C256', 512 * 5e-3, None),
    ('Read 24C08', 'BM_SerialRead/24C08', 1024 * 9 / 100e3, None),
    ('Read 24C16', 'BM_SerialRead/24C16', 2048 * 9 / 100e3, None),
    ('Read 24C32', 'BM_SerialRead/24C32', 4096 * 9 / 100e3, None),
    ('Program 24C08', 'BM_SerialProgram/24C08', 64 * 5e-3, None),
    ('Program 24C16', 'BM_SerialProgram/24C16', 128 * 5e-3, None),
    ('Program 24C32', 'BM_SerialProgram/24C32', 128 * 5e-3, None),
    ('Erase 24C08', 'BM_Operation/Erase_24C08', 64 * 5e-3, None),
    ('Identify AM29F040 (accesses per chip byte)', 'BM_Operation/Identify_AM29F040', None, None),
]


def fmt(v, digits=3):
    if v is None:
        return '—'
    if v >= 100:
        return f'{v:,.0f}'
    return f'{v:.{digits}g}'


def simulated_s(b):
    for key in ('simulated s', 'simulated s/chip', 'simulated s/read'):
        if key in b:
            return b[key]
    return None


lines = ['# Benchmarks', '',
         'Measured by `tools/bench.sh` (Google Benchmark, Release build) on '
         f"{platform.machine()}, {context.get('num_cpus', '?')} cores at "
         f"{context.get('mhz_per_cpu', '?')} MHz, {context.get('date', '')}. "
         "Wall times are the time of one run on the simulated board (Google Benchmark's average over its iterations); the simulated board time counts "
         '1 µs an access plus every wait the program makes, as a real board would take it.', '']

link = find('BM_LinkAccessOnANullPort')
lines += ['## The link', '',
          '| what | figure | goal |', '|---|---|---|',
          f"| the program's own cost of one port access (null port) | "
          f"{fmt(link['ns/access'] * 1e9 if link else None)} ns | under 20 ns (2 % of a 1 µs port access) |", '']

lines += ['## Operations', '',
          '| operation | accesses/byte | protocol minimum | wall on the simulator | simulated board time '
          '| datasheet minimum | board time / datasheet |',
          '|---|---|---|---|---|---|---|']
for label, name, datasheet_s, minimum in ROWS:
    b = find(name)
    if b is None:
        lines.append(f'| {label} | not measured | | | | | |')
        continue
    sim_s = simulated_s(b)
    ratio = sim_s / datasheet_s if (sim_s and datasheet_s) else None
    lines.append(f"| {label} | {fmt(b.get('accesses/byte'))} | {fmt(minimum)} | {fmt(ms(b))} ms | "
                 f"{fmt(sim_s)} s | {fmt(datasheet_s)} s | {fmt(ratio)} |")
lines.append('')

SIZES = {'27C256': 32768, '27C080': 1048576, '2732A': 4096, '27C64': 8192, '27C128': 16384,
         '27C512': 65536, '27C010': 131072, 'X28C256': 32768, '24C08': 1024, '24C16': 2048,
         '24C32': 4096}

# What the figures alone do not say, per kind of operation (the first that fits).
READ_NOTE = ('the 500 ms are the settling wait after the chip is powered, before every read, blank '
             'check and verify; the counted delays are the speed slider\'s strobe waits, two a latch load')
NOTES = [
    ('Read 24C', 'each bus bit is three or more latch loads, each with its two strobe waits (the '
                 'counted delays); the 50 ms are the wait after the chip is powered'),
    ('24C', 'each bus bit is three or more latch loads, each with its two strobe waits (the counted '
            'delays); the millisecond waits are the 50 ms after the chip is powered and the write-cycle '
            'polls (1 ms to each poll\'s acknowledge sample, 2 ms between polls)'),
    ('X28C256', 'the millisecond waits are the speed slider\'s before each page load (51 ms a page '
                'at the default setting of 50) and the chip\'s byte-load time and longest write cycle '
                'after it (11 ms, at every setting)'),
    ('Program 2', '{pulse_s} s of it under the programming pulses ({pulses} a byte on the simulated chip, '
                  '{pulse_us} µs each, the datasheet\'s width at every speed setting); the counted delays '
                  'are the two strobe waits of each latch load, which the speed slider sets'),
    ('Read', READ_NOTE), ('Blank', READ_NOTE), ('Verify', READ_NOTE),
]


def where_the_time_goes():
    """One line an operation: its simulated board time split by what the clock was charged for."""
    out = ['## Where the time goes', '',
           'The simulated board time of each run, split into the port accesses (1 µs each), the '
           'counted delay loops (strobe waits), the chip\'s own waits (programming pulses and their '
           'set-up and hold times, two-wire bus times) and the millisecond waits; the rows far '
           'above the datasheet minimum spend it as follows.', '']
    for label, name, datasheet_s, _ in ROWS:
        b = find(name)
        total = simulated_s(b) if b else None
        if not total or 'spin s' not in b:
            continue
        spin, sleep, wait = b['spin s'], b['sleep s'], b.get('chip wait s', 0)
        per_byte = f" ({fmt(b['accesses/byte'])} a byte)" if 'accesses/byte' in b else ''
        line = (f"- {label}: {fmt(total)} s = {fmt(total - spin - sleep - wait)} s port accesses{per_byte} + "
                f"{fmt(spin)} s counted delays + {fmt(wait)} s chip's waits + {fmt(sleep)} s millisecond waits")
        for key, note in NOTES:
            if key in label:
                pulse_s, per_byte_pulses = b.get('pulse s'), b.get('pulses/byte')
                size = next((n for chip, n in SIZES.items() if chip in label), None)
                pulse_us = (pulse_s * 1e6 / (per_byte_pulses * size)
                            if pulse_s and per_byte_pulses and size else None)
                line += '; ' + note.format(pulses=fmt(per_byte_pulses), pulse_s=fmt(pulse_s),
                                           pulse_us=fmt(pulse_us))
                break
        out.append(line + '.')
    prog = find('BM_ProgramWholeChip/P27080_27C080')
    if prog and 'accesses/byte' in prog:
        ns = ms(prog) * 1e6 / (prog['accesses/byte'] * SIZES['27C080'])
        out.append(f"- The wall time of programming a 27C080 on the simulator is {fmt(ns)} ns a port "
                   f"access over {fmt(prog['accesses/byte'])} accesses a byte ({fmt(prog.get('pulses/byte'))} "
                   "pulses a byte, each with its read-back): the program's own side of an access (the "
                   "null-port row) plus the simulated board and chip; no single routine dominates a "
                   "profile (latch loads, the board's latch model, the chip's pin update).")
    return out + ['']


def trace_cost():
    """The traced 1 MB read against the untraced one: time per access and file size."""
    plain, traced = find('BM_Read1MBThroughTheLink'), find('BM_Read1MBTraced')
    if not (plain and traced):
        return 'not measured'
    p, t = plain['ns/access'], traced['ns/access']
    return (f"{fmt(t - p)} ns an access on top of {fmt(p)} ns ({fmt(t / p)} × the untraced read); "
            f"{fmt(traced['trace MB/MB read'])} MB of trace for a 1 MB read")


sim = find('BM_SimPortAccesses')
read1 = find('BM_ReadCommand1MB')
prog80 = find('BM_ProgramWholeChip/P27080_27C080')
lines += ['## The simulator', '', '| what | figure | goal |', '|---|---|---|',
          f"| simulated port accesses | {fmt(sim['accesses/s'] / 1e6 if sim else None)} million/s | ≥ 50 million/s |",
          f"| the Read command of a 27C080 (1 MB) | {fmt(ms(read1) if read1 else None)} ms | under 300 ms |",
          f"| programming a whole 27C080 (the verify adds about a read) | {fmt(ms(prog80) if prog80 else None)} ms | program + verify under 3 s |",
          f"| VCD trace: cost per access | {trace_cost()} | — |",
          '']



def cpu_ms(b):
    unit = {'ns': 1e-6, 'us': 1e-3, 'ms': 1.0, 's': 1e3}[b.get('time_unit', 'ns')]
    return b['cpu_time'] * unit


# The window: what it adds to an operation, its start and its views.
WINDOW_ROWS = [
    ('the Read command of a 27C080, the core alone', 'BM_Read27C080CoreOnly', 'ms'),
    ('the Read command of a 27C080, clicked in the shown window', 'BM_Read27C080InTheWindow', 'ms'),
    ('start to first paint (core start-up with the simulated board, window built and shown)',
     'BM_WindowStartToFirstPaint', 'ms'),
    ('one page of the hex view (scroll bar moved, page rendered and painted)', 'BM_HexViewPage', 'us'),
    ('one log line written and painted, 1,000 lines in the log', 'BM_LogLine/1000/', 'us'),
    ('one log line written and painted, 100,000 lines in the log', 'BM_LogLine/100000/', 'us'),
]
overhead = find('BM_WindowOverheadOn27C080Read')
if overhead or any(find(name) for _, name, _ in WINDOW_ROWS):
    lines += ['## The window', '',
              'Offscreen (Qt\'s offscreen platform); CPU time is the whole process\'s. The first two rows '
              'are measured one after the other and move with the machine\'s load; the overhead row below '
              'takes the two reads in turns and is the one to compare with its goal.', '',
              '| what | wall | CPU |', '|---|---|---|']
    for label, name, unit in WINDOW_ROWS:
        b = find(name)
        if b is None:
            lines.append(f'| {label} | not measured | |')
            continue
        scale = 1e3 if unit == 'us' else 1.0
        lines.append(f'| {label} | {fmt(ms(b) * scale)} {unit} | {fmt(cpu_ms(b) * scale)} {unit} |')
    if overhead:
        lines += ['', '| what | figure | goal |', '|---|---|---|',
                  f"| the window's overhead on a 27C080 read (CPU, the two reads taken in turns, median of the pairs) | "
                  f"{fmt(overhead.get('overhead %'))} % | under 10 % |",
                  f"| paints while the read runs | {fmt(overhead.get('paints/read'))} a read, "
                  f"{fmt(overhead.get('paint ms/read'))} ms in all | one every 40 ms at most |"]
    lines.append('')

lines += where_the_time_goes()

# The budgets stay as they are written.
old = open(md_path).read() if os.path.exists(md_path) else ''
m = re.search(r'^## Budgets.*', old, re.S | re.M)
lines.append(m.group(0).rstrip() if m else '## Budgets')
open(md_path, 'w').write('\n'.join(lines) + '\n')
