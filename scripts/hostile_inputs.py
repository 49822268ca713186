#!/usr/bin/env python3
"""Hands mosaiq-cli the damaged and hostile inputs users' disks and other programs produce and
checks that each case fails cleanly (exit 1, one line on standard error per input refused, the
inputs unchanged) or succeeds, within 5 s of wall time and 1 GiB of memory: special files, decode
bombs and pixel budgets, damaged lists and packs, writers aimed at what is not theirs, the
wallpaper's settings file, and names that are not UTF-8.

usage: scripts/hostile_inputs.py [path/to/mosaiq-cli]     (default build/bin/mosaiq-cli)
Runs as root too: the unreadable-list case runs the program as user 65534 through setpriv.
"""
import hashlib
import os
import shutil
import stat
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


def case(name, args, keep=(), prefix=(), expect=(0, 1), env_extra=None, error_lines=1,
         says=None):
    before = digest(keep)
    status, out, err, seconds, peak = run(args, prefix, env_extra)
    lines = err.decode(errors="replace").strip().splitlines()
    problems = []
    if status not in expect:
        problems.append("exit %s" % status)
    if status == 1 and len(lines) != error_lines:
        problems.append("%d lines on standard error" % len(lines))
    if says is not None and says not in err.decode(errors="replace"):
        problems.append("the error does not say \"%s\"" % says)
    if seconds > LIMIT_SECONDS:
        problems.append("%.1f s" % seconds)
    if peak > LIMIT_BYTES:
        problems.append("%d MiB" % (peak >> 20))
    if digest(keep) != before:
        problems.append("an input changed")
    verdict = "FAIL " + ", ".join(problems) if problems else "ok"
    print("%-52s exit %s  %5.2f s  %s" % (name, status, seconds, verdict))
    for line in lines[:3]:
        print("      " + line)
    if problems:
        failures.append(name)
    return status, out, err


def png(width, height, depth, colour, idat, extra=b""):
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra + chunk(b"IDAT", idat) +
            chunk(b"IEND", b""))


def zero_png(width, height, colour=2):
    """A PNG of width x height black pixels (8-bit RGB or RGBA): a few hundred kilobytes."""
    channels = 4 if colour == 6 else 3
    z = zlib.compressobj(9)
    row = b"\0" * (1 + width * channels)
    parts = []
    for _ in range(0, height, 64):
        parts.append(z.compress(row * 64))
    parts.append(z.flush())
    # The loop above may write up to 63 rows too many: the decoder stops at the height, and
    # the budgets refuse the picture before any decoder sees it anyway.
    return png(width, height, 8, colour, b"".join(parts))


def one_bit_png(width, height):
    """A black one-bit grey PNG: a few kilobytes whatever its size."""
    raw = (b"\0" + b"\0" * ((width + 7) // 8)) * height
    return png(width, height, 1, 0, zlib.compress(raw, 9))


def pack(kind, items, tail=b""):
    """A resource pack: items are (thumb_w, thumb_h, full_w, full_h, data)."""
    out = struct.pack("<II", kind, len(items))
    for tw, th, fw, fh, data in items:
        out += struct.pack("<II", tw, th) + b"\x7f" * (tw * th * 4)
        out += struct.pack("<III", fw, fh, len(data))
        if kind == 0:
            out += struct.pack("<4f", 0.1, 0.1, 0.9, 0.9)
        out += data
    return out + tail


def clipart_record(source, width, height, pasted=1):
    record = bytearray(124)
    struct.pack_into("<i", record, 0x08, source)
    struct.pack_into("<ii", record, 0x0C, width, height)
    struct.pack_into("<f", record, 0x14, 1.0)
    struct.pack_into("<i", record, 0x1C, pasted)
    struct.pack_into("<ff", record, 0x20, 1.0, 1.0)
    struct.pack_into("<i", record, 0x38, -1)
    struct.pack_into("<7f", record, 0x60, 1.0, 1.0, 1.0, 1.0, 0.0, 0.125, 1.0)
    return struct.pack("<i", 0) + bytes(record)


def project(objects=b"", count=0, tail=b""):
    header = struct.pack("<ii", 640, 480) + b"\0" * 260 + struct.pack("<Iii", 0xFFFFFF, 0, count)
    return header + objects + tail


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
    case("picture that is a pipe", conv(fifo))
    if os.geteuid() == 0:
        # A device node of the zero device's numbers, made here.
        zero = os.path.join(d, "zero.png")
        os.mknod(zero, 0o600 | stat.S_IFCHR, os.makedev(1, 5))
        case("picture that is a zero device", conv(zero))
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
    # A plain lossless WebP holds millions of pixels in a few hundred bytes: read; the same
    # bytes claiming 16000 x 16000 are past what such a picture may cost: refused at once.
    if shutil.which("cwebp"):
        plain_ppm = write(os.path.join(d, "plain.ppm"),
                          b"P6 1920 1080 255\n" + b"\x60" * 1920 * 1080 * 3)
        png_dir = os.path.join(d, "plainpng")
        subprocess.run([CLI, "--data", data, "convert", "--format", "PNG", "--output", png_dir,
                        plain_ppm], check=True, capture_output=True)
        plain_webp = os.path.join(d, "plain.webp")
        subprocess.run(["cwebp", "-quiet", "-lossless", os.path.join(png_dir, "plain.png"), "-o",
                        plain_webp], check=True)
        case("plain 1920 x 1080 lossless WebP of %d bytes" % os.path.getsize(plain_webp),
             conv(plain_webp), expect=(0,))
        webp = bytearray(open(plain_webp, "rb").read())
        at = webp.index(b"VP8L") + 9
        bits = struct.unpack_from("<I", webp, at)[0]
        struct.pack_into("<I", webp, at, (bits & ~0x0FFFFFFF) | 15999 | (15999 << 14))
        case("lossless WebP of %d bytes claiming 16000 x 16000" % len(webp),
             conv(write(os.path.join(d, "sparse.webp"), bytes(webp))), expect=(1,))

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

    # 6. Writers replace only what is theirs.
    dcf = write(os.path.join(d, "empty.dcf"), project())
    fifo_out = os.path.join(d, "out-pipe.dcf")
    os.mkfifo(fifo_out)
    case("resave onto a pipe", ["--data", data, "resave", dcf, fifo_out], expect=(1,))
    if os.geteuid() == 0:
        full = os.path.join(d, "full.dcf")
        os.mknod(full, 0o600 | stat.S_IFCHR, os.makedev(1, 7))
        case("resave onto a device node", ["--data", data, "resave", dcf, full], expect=(1,))
        if not stat.S_ISCHR(os.lstat(full).st_mode):
            failures.append("the device node was replaced")
    folder_out = os.path.join(d, "folder.png")
    os.mkdir(folder_out)
    case("render onto a folder", ["--data", data, "render", dcf, folder_out], expect=(1,))
    real = write(os.path.join(d, "real.dcf"), b"old")
    link = os.path.join(d, "link.dcf")
    os.symlink(real, link)
    case("resave through a link to a file", ["--data", data, "resave", dcf, link], expect=(0,))
    if not os.path.islink(link) or open(real, "rb").read() != project():
        failures.append("a link to a file was not followed or did not stay")
    heart = write(os.path.join(d, "heart.png"), png(8, 8, 8, 2, zlib.compress((b"\0" + b"\x80" * 24) * 8)))
    case("make-pack with a picture first", ["--data", data, "make-pack", "--type", "cliparts",
                                             heart, heart], keep=[heart], expect=(2,))
    notes = write(os.path.join(d, "notes.irs"), b"my notes")
    case("make-pack over a file that is no pack", ["--data", data, "make-pack", "--type",
                                                    "cliparts", notes, heart], keep=[notes],
         expect=(1,))

    # 7. Decode budgets, and sizes past their type.
    zeros = write(os.path.join(d, "zeros.png"), zero_png(16000, 16000))
    case("effect mean on 16000 x 16000 zeros", ["--data", data, "effect", "mean", zeros,
                                                d + "/e.png"], expect=(1,),
         says="an effect's picture")
    case("effect median on 16000 x 16000 zeros", ["--data", data, "effect", "median", zeros,
                                                  d + "/e.png"], expect=(1,))
    case("make-pack from 16000 x 16000 zeros", ["--data", data, "make-pack", "--type", "frames",
                                                d + "/z.irs", zeros], expect=(1,),
         says="a pack item's picture")
    if os.path.exists(d + "/z.irs"):
        failures.append("make-pack wrote a pack from a picture past its budget")
    case("PNG claiming 2^31-1 x 2^31-1", conv(write(os.path.join(d, "wide.png"),
                                                   png(2 ** 31 - 1, 2 ** 31 - 1, 8, 2, garbage))),
         expect=(1,))
    pasted = zero_png(5600, 5600, 6)
    block = b"MQPX" + struct.pack("<II", 1, 16)
    for i in range(16):
        block += struct.pack("<iIII", i, 5600, 5600, len(pasted)) + pasted
    sixteen = write(os.path.join(d, "sixteen.dcf"),
                    project(b"".join(clipart_record(i, 5600, 5600) for i in range(16)), 16, block))
    case("sixteen pasted 5600 x 5600 pictures (dump)", ["--data", data, "dump", sixteen],
         expect=(1,), says="pasted pictures of a project together")
    case("sixteen pasted 5600 x 5600 pictures (render)", ["--data", data, "render", sixteen,
                                                         d + "/s.png"], expect=(1,))

    # 8. Packs.
    packs = os.path.join(d, "packdata")
    os.mkdir(packs)
    for name in ("frame.cfg.bak", "tbframe.cfg.bak", "Res_Info.bak", "frame.cfg.new"):
        write(os.path.join(packs, name), name.encode())
    own = [os.path.join(packs, n) for n in os.listdir(packs)]
    noise = bytes((i * 151 + 3) % 253 for i in range(3000))
    claim = png(16000, 16000, 8, 2, zlib.compress(b""))
    case("frame pack whose picture is noise",
         ["--data", packs, "import-pack",
          write(os.path.join(d, "noise.irs"), pack(0, [(1, 1, 64, 64, png(64, 64, 8, 2, noise))]))],
         keep=own, expect=(1,))
    case("mask pack of %d bytes claiming 16000 x 16000" % len(claim),
         ["--data", packs, "import-pack",
          write(os.path.join(d, "claim.irs"), pack(1, [(1, 1, 16000, 16000, claim)]))],
         keep=own, expect=(1,), says="a pack item's picture")
    good_pack = write(os.path.join(d, "good.irs"),
                      pack(0, [(0, 0, 40, 30, one_bit_png(40, 30))], tail=b"after the items"))
    case("frame pack with an empty cell and bytes after it", ["--data", packs, "import-pack",
                                                              good_pack], keep=own, expect=(0,))
    evil = write(os.path.join(d, "evil\nimported 1 frames into tbframe.cfg.irs"), b"bad")
    case("pack whose name holds a newline", ["--data", packs, "import-pack", evil], expect=(1,))
    res_info = os.path.join(packs, "Res_Info")
    for what, make in [("shorter than 4 bytes", lambda: write(res_info, b"ab")),
                       ("counting 0 packs", lambda: write(res_info, b"\0\0\0\0")),
                       ("a folder", lambda: (os.remove(res_info), os.mkdir(res_info)))]:
        make()
        case("import list " + what, ["--data", packs, "import-pack", os.path.join(d, "good2.irs")
                                     if os.path.exists(os.path.join(d, "good2.irs"))
                                     else write(os.path.join(d, "good2.irs"), open(good_pack, "rb").read())],
             keep=own + ([res_info] if os.path.isfile(res_info) else []), expect=(1,),
             says="Res_Info")

    # 9. The wallpaper's record, with a fake desktop tool.
    fake = os.path.join(d, "bin")
    state = os.path.join(d, "state", "org.gnome.desktop.background")
    os.makedirs(fake)
    os.makedirs(state)
    write(os.path.join(fake, "gsettings"), b"""#!/bin/sh
s="$FAKE_STATE"
case "$1" in
  list-keys) ls "$s/$2" ;;
  get) cat "$s/$2/$3" ;;
  set) printf '%s\\n' "$4" > "$s/$2/$3" ;;
esac
""", 0o755)
    write(os.path.join(state, "picture-uri"), b"'file:///old/day.jpg'\n")
    write(os.path.join(state, "picture-options"), b"'zoom'\n")
    desktop = {"PATH": fake + ":" + os.environ.get("PATH", ""), "FAKE_STATE": os.path.dirname(state),
               "XDG_CURRENT_DESKTOP": "GNOME", "XDG_DATA_HOME": os.path.join(d, "xdg")}
    wall = os.path.join(d, "wall")
    os.mkdir(wall)
    settings = os.path.join(wall, "settings.ini")
    uri = os.path.join(state, "picture-uri")
    for what, make in [("a pipe", lambda: os.mkfifo(settings)),
                       ("a folder", lambda: os.mkdir(settings)),
                       ("a list claiming 2^31-1 items",
                        lambda: write(settings, b"[Wallpaper]\nkeys=@Variant(\\0\\0\\0\\v"
                                                b"\\x7f\\xff\\xff\\xff)\n"))]:
        make()
        case("wallpaper set, settings.ini " + what, ["--data", wall, "wallpaper", "set", dcf],
             keep=[uri], expect=(1,), env_extra=desktop)
        case("wallpaper restore, settings.ini " + what, ["--data", wall, "wallpaper", "restore"],
             keep=[uri], expect=(1,), env_extra=desktop)
        subprocess.run(["rm", "-rf", settings])

    # 10. One bad name among many.
    batch = os.path.join(d, "batch")
    os.mkdir(batch)
    small = png(8, 8, 8, 2, zlib.compress((b"\0" + b"\x80" * 24) * 8))
    names = []
    for i in range(200):
        name = os.fsencode(batch) + (b"/bad\xe9%03d.png" % i if i % 10 == 0 else b"/p%03d.png" % i)
        write(name, small)
        names.append(name)
    status, out_text, _ = case("convert 200 files, 20 of them badly named",
                               [b"--data", os.fsencode(data), b"convert", b"--format", b"PNG",
                                b"--output", os.fsencode(d) + b"/batch-out", *names],
                               expect=(1,), error_lines=20)
    if b"converted 180, skipped 20" not in out_text:
        failures.append("convert did not process the good files: %r" % out_text[-80:])
    status, out_text, _ = case("import-photos of 200 files, 20 of them badly named",
                               [b"--data", os.fsencode(data), b"import-photos", *names],
                               expect=(1,), error_lines=20)
    if b"added 180" not in out_text:
        failures.append("import-photos did not add the good files: %r" % out_text[-120:])

    # 11. Noise from the decoders.
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
