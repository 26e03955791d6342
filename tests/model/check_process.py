#!/usr/bin/env python3
"""Generate test inputs, run `vantrose process` and the independent model, and compare
the outputs as float32 bit patterns.
Usage: python3 check_process.py --tool PATH --work DIR [case ...]   (no cases: all)"""
import math
import os
import random
import struct
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import eqmodel  # noqa: E402

TOOL = 'build/vantrose'
WD = 'build/model-work'


def write_wav(path, rate, chans):
    n = len(chans[0]); nc = len(chans)
    data = bytearray()
    for i in range(n):
        for c in chans:
            data += struct.pack('<f', c[i])
    fmt = struct.pack('<HHIIHH', 3, nc, rate, rate * nc * 4, nc * 4, 32)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(data)) + bytes(data)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


def read_wav(path):
    b = open(path, 'rb').read()
    assert b[:4] == b'RIFF' and b[8:12] == b'WAVE'
    pos = 12
    fmt = None; data = None
    while pos + 8 <= len(b):
        cid = b[pos:pos + 4]; sz = struct.unpack('<I', b[pos + 4:pos + 8])[0]
        body = b[pos + 8:pos + 8 + sz]
        if cid == b'fmt ':
            fmt = struct.unpack('<HHIIHH', body[:16])
        elif cid == b'data':
            data = body
        pos += 8 + sz + (sz & 1)
    tag, nc, rate, _, _, bits = fmt
    assert bits == 32 and tag in (3, 0xFFFE), fmt
    n = len(data) // (4 * nc)
    raw = struct.unpack('<%dI' % (n * nc), data[:n * nc * 4])
    chans = [[raw[i * nc + c] for i in range(n)] for c in range(nc)]
    return rate, chans  # bit patterns


def bits_to_f(u):
    return struct.unpack('<f', struct.pack('<I', u))[0]


def f_to_bits(x):
    return struct.unpack('<I', struct.pack('<f', x))[0]


def make_signal(n, rate, seed, nch):
    rng = random.Random(seed)
    chans = []
    for c in range(nch):
        out = []
        ph = 0.0
        for i in range(n):
            t = i / rate
            f = 50.0 * math.pow(400.0, i / n)  # 50 Hz .. 20 kHz sweep
            ph += 2 * math.pi * f / rate
            v = 0.25 * math.sin(ph + c) + 0.12 * (rng.random() * 2 - 1)
            for k, at in enumerate((300, 1100, 1900, 2600)):
                if i >= at:
                    v += (0.3 if (k + c) % 2 == 0 else -0.3) * math.exp(-(i - at) / 15.0) * math.cos(0.9 * (i - at))
            out.append(eqmodel.f32(v * 0.85))
        chans.append(out)
    return chans


C_SETS = [('Bell', '1'), ('LGain', '0.8'), ('HPLP', '1'), ('HP', '0.3'), ('LP', '0.95'),
          ('HMGain', '0.3'), ('LMFreq', '0.2'), ('HGain', '0.9')]
CASES = {
    'a': dict(block=512, sets=[]),
    'b': dict(block=512, sets=[('LGain', '1'), ('LFreq', '0.725')]),
    'c': dict(block=256, sets=C_SETS),
    'd': dict(block=100, sets=C_SETS + [('14', '1'), ('Gain', '-5.5')]),
    'e': dict(block=512, sets=[('BY', '0')]),
    'f': dict(block=256, sets=C_SETS, mono=True),
    'g48': dict(block=512, sets=C_SETS + [('Gain', '3.25')], rate=48000),
    'a48': dict(block=512, sets=[], rate=48000),
}
# extra stress cases (not part of the required list)
EXTRA = {
    'x1': dict(block=1, sets=[('LGain', '0'), ('LFreq', '0.983'), ('HGain', '1'), ('HFreq', '0.1'),
                              ('LMGain', '1'), ('HMFreq', '0.983'), ('Gain', '12')]),
    'x2': dict(block=7, sets=[('Bell', '1'), ('HPLP', '1'), ('HP', '1'), ('LP', '0'), ('LFreq', '0.1'),
                              ('HMGain', '0'), ('HFreq', '0.983'), ('Gain', '-12'), ('14', '1')]),
    'x3': dict(block=4096, sets=[('LGain', '1'), ('Gain', '11.99'), ('LMFreq', '0.1'), ('14', '0.99'),
                                 ('BY', '0.5')]),
    'x8': dict(block=200, sets=[('HFreq', '0.0999999999'), ('Gain', '0.1')]),
    'x4': dict(block=333, sets=[('Bell', '0.5'), ('HPLP', '0.7'), ('HP', '0.123456789'), ('LP', '0.3333'),
                                ('LGain', '0.123456789')]),
    'x5': dict(block=64, sets=[('HPLP', '1'), ('LP', '0.5'), ('HP', '0.6'), ('LGain', '0.9'),
                               ('14', '1')], extreme=True),
    'x6': dict(block=512, sets=[('LMGain', '0.1'), ('LMFreq', '0.5'), ('HMFreq', '0.3')], extreme=True,
               rate=96000),
    'x7': dict(block=512, sets=[('Bell', '1')], extreme=True, mono=True, rate=22050),
}
CASES.update(EXTRA)


def run_case(name, cfg, nframes=3000, sat_enabled=True, verbose=True):
    os.makedirs(WD, exist_ok=True)
    rate = cfg.get('rate', 44100)
    nch = 1 if cfg.get('mono') else 2
    chans = make_signal(nframes, rate, 1234 + rate, nch)
    if cfg.get('extreme'):
        rng = random.Random(99)
        for ch in chans:
            for i in range(nframes):
                r = rng.random()
                if 500 <= i < 800:
                    ch[i] = 0.0
                elif r < 0.05:
                    ch[i] = eqmodel.f32(rng.choice([1e-40, -1e-42, 1e-30, -0.0, 3.9, -4.0, 1e-20]))
                elif 1500 <= i < 1700:
                    ch[i] = eqmodel.f32(ch[i] * 1e-12)
    inp = os.path.join(WD, 'in_%s.wav' % name)
    outp = os.path.join(WD, 'out_%s.wav' % name)
    write_wav(inp, rate, chans)
    cmd = [TOOL, 'process', inp, outp, '--block', str(cfg['block'])]
    for k, v in cfg['sets']:
        cmd += ['--set', '%s=%s' % (k, v)]
    r = subprocess.run(cmd, capture_output=True, text=True)
    if r.returncode != 0:
        print(name, 'tool failed', r.stdout, r.stderr)
        return None
    orate, tool = read_wav(outp)
    assert orate == rate and len(tool) == nch, (orate, len(tool))
    model = eqmodel.run(rate, chans, cfg['block'], cfg['sets'], sat_enabled)
    first = None; ndiff = 0; maxrel = 0.0
    for i in range(nframes):
        for c in range(nch):
            mb = f_to_bits(model[c][i])
            if mb != tool[c][i]:
                ndiff += 1
                tv = bits_to_f(tool[c][i]); mv = model[c][i]
                if abs(mv) > 0:
                    maxrel = max(maxrel, abs(tv - mv) / abs(mv))
                if first is None:
                    first = (i, c, tv, mv, tool[c][i], mb)
    if verbose:
        desc = ' '.join(cmd[4:])
        if first is None:
            print('case %-4s [%s]: IDENTICAL (%d frames x %d ch)' % (name, desc, nframes, nch))
        else:
            i, c, tv, mv, tb, mb = first
            print('case %-4s [%s]: DIFFER at %d samples; first frame %d ch %d tool %r (0x%08x) model %r (0x%08x); max rel diff %.3g'
                  % (name, desc, ndiff, i, c, tv, tb, mv, mb, maxrel))
    return first, ndiff, chans, tool, model


def main(argv):
    global TOOL, WD
    names = []
    while argv:
        arg = argv.pop(0)
        if arg == '--tool' and argv:
            TOOL = argv.pop(0)
        elif arg == '--work' and argv:
            WD = argv.pop(0)
        elif arg in CASES:
            names.append(arg)
        else:
            print('usage: check_process.py [--tool PATH] [--work DIR] [case ...]; cases: '
                  + ' '.join(CASES))
            return 2
    passed = failed = 0
    for n in names or list(CASES):
        result = run_case(n, CASES[n])
        if result is not None and result[0] is None:
            passed += 1
        else:
            failed += 1
    print('%d passed, %d failed' % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
