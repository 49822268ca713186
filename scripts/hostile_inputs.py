#!/usr/bin/env python3
"""Hands mosaiq-cli the damaged and hostile inputs users' disks and other programs produce and
checks that each case fails cleanly (exit 1, one line on standard error, the inputs unchanged) or
succeeds, within 5 s of wall time and 1 GiB of memory.

usage: scripts/hostile_inputs.py [path/to/mosaiq-cli]     (default build/bin/mosaiq-cli)
Runs as root too: the unreadable-list case runs the program as user 65534 through setpriv.
"""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

CLI = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin/mosaiq-cli")
LIMIT_SECONDS = 5.0
LIMIT_BYTES = 1 << 30
failures = []


def run(args, prefix=(), env_extra=None):
    """Runs the program; returns status, stdout, stderr, wall seconds and peak memory in bytes."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    env.pop("MOSAIQ_DEBUG_LOG", None)
    env.update(env_extra or {})
    start = time.monotonic()
    proc = subprocess.Popen(list(prefix) + [os.fsencode(CLI)] + list(args), env=env,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        out, err = proc.communicate(timeout=60)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
    # communicate() has reaped the child; its peak memory is in the children's usage.
    seconds = time.monotonic() - start
    peak = 0
    try:
        import resource
        peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss * 1024
    except ImportError:
        pass
    return proc.returncode, out, err, seconds, peak


def digest(paths):
    result = {}
    for p in paths:
        try:
            with open(p, "rb") as f:
                result[p] = hashlib.sha256(f.read()).hexdigest()
        except OSError:
            result[p] = None
    return result


def case(name, args, keep=(), prefix=(), expect=(0, 1), env_extra=None):
    before = digest(keep)
    status, out, err, seconds, peak = run(args, prefix, env_extra)
    lines = err.decode(errors="replace").strip().splitlines()
    problems = []
    if status not in expect:
        problems.append("exit %s" % status)
    if status == 1 and len(lines) != 1:
        problems.append("%d lines on standard error" % len(lines))
    if seconds > LIMIT_SECONDS:
        problems.append("%.1f s" % seconds)
    if peak > LIMIT_BYTES:
        problems.append("%d MiB" % (peak >> 20))
    if digest(keep) != before:
        problems.append("an input changed")
    verdict = "FAIL " + ", ".join(problems) if problems else "ok"
    print("%-44s exit %s  %5.2f s  %s" % (name, status, seconds, verdict))
    for line in lines[:3]:
        print("      " + line)
    if problems:
        failures.append(name)


def png(width, height, depth, colour, idat, extra=b""):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", idat) +
            chunk(b"IEND", b""))


def write(path, data, mode=None):
    with open(path, "wb") as f:
        f.write(data)
    if mode is not None:
        os.chmod(path, mode)
    return path


def main():
    d = tempfile.mkdtemp(prefix="mosaiq-hostile-")
    os.chmod(d, 0o755)
    data = os.path.join(d, "data")
    out = os.path.join(d, "out")
    os.mkdir(data)
    os.chmod(data, 0o755)
    conv = lambda *files: ["--data", data, "convert", "--format", "PNG", "--output", out, *files]

    # 1. Special files.
    fifo = os.path.join(d, "p.png")
    os.mkfifo(fifo)
    zero = os.path.join(d, "zero.png")
    os.symlink("/dev/zero", zero)
    case("picture that is a pipe", conv(fifo))
    case("picture that is a link to /dev/zero", conv(zero))
    fifo_dcf = os.path.join(d, "p.dcf")
    os.mkfifo(fifo_dcf)
    case("project that is a pipe (dump)", ["--data", data, "dump", fifo_dcf])
    case("project that is a pipe (render)", ["--data", data, "render", fifo_dcf, d + "/r.png"])

    # 2. Decode bombs.
    rows = 64
    ppm = write(os.path.join(d, "g.ppm"), b"P6 64 %d 255\n" % rows +
                bytes((x * 4 + y) % 256 for y in range(rows) for x in range(64 * 3)))
    jpg_dir = os.path.join(d, "jpg")
    subprocess.run([CLI, "--data", data, "convert", "--format", "JPG", "--output", jpg_dir, ppm],
                   check=True, capture_output=True)
    jpeg = open(os.path.join(jpg_dir, "g.jpg"), "rb").read()
    sof = jpeg.index(b"\xff\xc0")
    sos = jpeg.index(b"\xff\xda")
    eoi = jpeg.rindex(b"\xff\xd9")
    head = bytearray(jpeg[:sos])
    head[sof + 1] = 0xC2  # progressive
    head[sof + 5:sof + 9] = struct.pack(">HH", 8000, 8000)
    bomb = bytes(head) + jpeg[sos:eoi] * 12000 + b"\xff\xd9"
    case("progressive JPEG of 12,000 scans", conv(write(os.path.join(d, "scans.jpg"), bomb)))
    garbage = bytes((i * 131 + 7) % 251 for i in range(40 * 1024))
    case("40 KB PNG claiming 16000 x 16000",
         conv(write(os.path.join(d, "huge.png"), png(16000, 16000, 8, 2, garbage))))

    # 3. The photo list.
    pics = []
    for i in range(4):
        pics.append(write(os.path.join(d, "photo%d.ppm" % i),
                          b"P6 %d 30 255\n" % (30 + i) + bytes([90 + i]) * ((30 + i) * 30 * 3)))
        os.chmod(pics[-1], 0o644)
    listfile = os.path.join(data, "srcmedia.cfg")
    subprocess.run([CLI, "--data", data, "import-photos", *pics[:3]], check=True,
                   capture_output=True)
    good = open(listfile, "rb").read()
    os.chmod(listfile, 0o200)
    as_nobody = ("setpriv", "--reuid=65534", "--regid=65534", "--clear-groups") \
        if os.geteuid() == 0 else ()
    case("photo list of mode 200", ["--data", data, "import-photos", pics[3]], keep=[listfile],
         prefix=as_nobody, expect=(1,))
    os.chmod(listfile, 0o644)
    for name, damaged in [("count 0", b"\0\0\0\0" + good[4:]),
                          ("count that lies", struct.pack("<I", 9) + good[4:]),
                          ("thumbnail length that lies",
                           good[:4 + 3 * 1104] + struct.pack("<I", 0x7ffffff0) +
                           good[4 + 3 * 1104 + 4:])]:
        write(listfile, damaged)
        case("photo list with a " + name, ["--data", data, "import-photos", pics[3]], expect=(0,))
        aside = open(listfile + ".damaged", "rb").read()
        if aside != damaged:
            failures.append(name + ": the damaged list was not kept aside")
            print("      FAIL the damaged list was not kept aside")
        write(listfile, good)
    os.remove(listfile)
    os.mkfifo(listfile)
    case("photo list that is a pipe", ["--data", data, "import-photos", pics[3]], expect=(1,))
    os.remove(listfile)

    # 5. Names that are not UTF-8.
    cafe = os.fsencode(d) + b"/caf\xe9.png"
    write(cafe, png(8, 8, 8, 2, zlib.compress((b"\0" + b"\x80" * 24) * 8)))
    case("picture named caf\\xE9.png", [b"--data", os.fsencode(data), b"convert", b"--format",
                                        b"PNG", b"--output", os.fsencode(out), cafe], expect=(1,))
    case("--output o\\xFF", [b"--data", os.fsencode(data), b"convert", b"--format", b"PNG",
                             b"--output", os.fsencode(d) + b"/o\xff", pics[0]], expect=(1,))
    case("--data d\\xE9", [b"--data", os.fsencode(d) + b"/d\xe9", b"init"], expect=(1,))
    made = [n for n in os.listdir(os.fsencode(d))
            if (n.startswith(b"o") or n.startswith(b"d")) and n not in (b"out", b"data")]
    if made:
        failures.append("a different path was created: %r" % made)

    # 6. Noise from the decoders.
    broken = bytearray(png(4, 4, 8, 2, zlib.compress((b"\0" + b"\x40" * 12) * 4)))
    broken[29] ^= 0x55  # the IHDR checksum
    case("PNG with a damaged header checksum", conv(write(os.path.join(d, "crc.png"), broken)))
    tiff = b"II*\0" + struct.pack("<I", 33489164) + b"\0" * 64
    case("TIFF whose directory is past its end", conv(write(os.path.join(d, "bad.tif"), tiff)))

    print()
    print("%d failures: %s" % (len(failures), "; ".join(failures)) if failures
          else "every case failed cleanly or succeeded")
    subprocess.run(["rm", "-rf", d])
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
