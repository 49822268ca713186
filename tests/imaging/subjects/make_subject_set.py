#!/usr/bin/python3
"""Writes the subject test set into DIR: scikit-image's data pictures (the astronaut, the camera
man) placed off-centre on larger photo-like grounds, a bright object on a plain ground and grounds
alone, as JPEGs, with DIR/set.json naming each picture's true faces and object (in the upright
picture's pixels).

    make_subject_set.py DIR
"""
import json
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter
from skimage import data

# The faces in the 512 x 512 source pictures (x, y, width, height).
ASTRONAUT_FACE = (172, 72, 108, 120)
CAMERA_FACE = (168, 92, 92, 110)


def ground(w, h, seed, texture=1.0, shapes=40):
    """A photo-like ground: a two-colour gradient, value noise from coarse to fine, soft-edged
    occluding shapes (as the benchmark corpus's pictures have), sensor noise."""
    rng = np.random.default_rng(seed)
    top = rng.uniform(60, 200, 3)
    bottom = rng.uniform(40, 160, 3)
    t = np.linspace(0.0, 1.0, h)[:, None, None]
    img = top * (1 - t) + bottom * t + np.zeros((h, w, 3))
    for cells, amplitude in ((4, 30.0), (16, 14.0), (64, 6.0)):
        gw, gh = cells, max(2, cells * h // w)
        grid = rng.uniform(-1, 1, (gh, gw)).astype(np.float32)
        noise = np.asarray(Image.fromarray(grid, mode="F").resize((w, h), Image.BICUBIC))
        img += texture * amplitude * noise[:, :, None]
    if shapes:
        layer = Image.fromarray(np.clip(img, 0, 255).astype(np.uint8))
        draw = ImageDraw.Draw(layer)
        for _ in range(shapes):
            cx, cy = rng.uniform(0, w), rng.uniform(0, h)
            rx, ry = rng.uniform(0.01, 0.12) * w, rng.uniform(0.01, 0.12) * h
            colour = tuple(int(c) for c in rng.uniform(20, 235, 3))
            if rng.uniform() < 0.5:
                draw.ellipse((cx - rx, cy - ry, cx + rx, cy + ry), fill=colour)
            else:
                draw.rectangle((cx - rx, cy - ry, cx + rx, cy + ry), fill=colour)
        img = np.asarray(layer.filter(ImageFilter.GaussianBlur(1.5))).astype(np.float64)
    img += rng.normal(0, 3.0, (h, w, 3))
    return np.clip(img, 0, 255)


def paste(canvas, picture, x, y, size):
    tile = np.asarray(Image.fromarray(picture).convert("RGB").resize((size, size), Image.LANCZOS))
    canvas[y:y + size, x:x + size] = tile
    return size / 512.0


def face_at(face, x, y, scale, mirrored=False):
    fx, fy, fw, fh = face
    if mirrored:
        fx = 512 - fx - fw
    return [round(x + fx * scale), round(y + fy * scale), round(fw * scale), round(fh * scale)]


def save(out, name, pixels, entry, turn=None):
    image = Image.fromarray(pixels.astype(np.uint8))
    path = os.path.join(out, name)
    if turn is None:
        image.save(path, quality=90)
    else:
        # Stored turned, with the orientation tag that brings it upright again.
        tag, stored = turn
        exif = Image.Exif()
        exif[0x0112] = tag
        image.transpose(stored).save(path, quality=90, exif=exif)
    entry.update(file=name, width=pixels.shape[1], height=pixels.shape[0])
    return entry


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    astronaut = data.astronaut()
    camera = data.camera()
    pictures = []

    def people(name, w, h, seed, placed, turn=None):
        canvas = ground(w, h, seed)
        faces = []
        for picture, face, x, y, size, mirrored in placed:
            src = picture[:, ::-1] if mirrored else picture
            scale = paste(canvas, np.ascontiguousarray(src), x, y, size)
            faces.append(face_at(face, x, y, scale, mirrored))
        pictures.append(save(out, name, canvas, {"kind": "people", "faces": faces}, turn))

    people("astronaut_left.jpg", 2400, 1600, 11, [(astronaut, ASTRONAUT_FACE, 150, 500, 800, False)])
    people("astronaut_right.jpg", 2400, 1600, 12, [(astronaut, ASTRONAUT_FACE, 1620, 150, 700, False)])
    people("astronaut_top.jpg", 1600, 2400, 13, [(astronaut, ASTRONAUT_FACE, 450, 80, 700, False)])
    people("astronaut_bottom.jpg", 1600, 2400, 14, [(astronaut, ASTRONAUT_FACE, 760, 1560, 800, False)])
    people("astronaut_pair.jpg", 3000, 1500, 15, [(astronaut, ASTRONAUT_FACE, 80, 400, 640, False),
                                                 (astronaut, ASTRONAUT_FACE, 2280, 300, 640, True)])
    # Stored a quarter turn anticlockwise with tag 6, which turns it clockwise upright again.
    people("astronaut_turned.jpg", 2400, 1600, 16, [(astronaut, ASTRONAUT_FACE, 1500, 700, 760, False)],
           turn=(6, Image.ROTATE_90))
    people("camera_right.jpg", 2400, 1600, 17, [(camera, CAMERA_FACE, 1500, 700, 800, False)])
    people("camera_bottom_left.jpg", 1600, 2400, 18, [(camera, CAMERA_FACE, 60, 1640, 700, False)])

    # A bright object on a plain ground, well off the centre.
    plain = ground(2400, 1600, 21, texture=0.15, shapes=0)
    yy, xx = np.mgrid[0:1600, 0:2400]
    disc = (xx - 1950) ** 2 + (yy - 420) ** 2 <= 220 ** 2
    plain[disc] = (250, 210, 40)
    pictures.append(save(out, "object_disc.jpg", plain,
                         {"kind": "object", "faces": [], "object": [1730, 200, 440, 440]}))

    for i in range(4):
        w, h = (2400, 1600) if i % 2 == 0 else (1600, 2400)
        pictures.append(save(out, "ground_%d.jpg" % i, ground(w, h, 100 + i), {"kind": "ground", "faces": []}))

    with open(os.path.join(out, "set.json"), "w") as f:
        json.dump(pictures, f, indent=1)


if __name__ == "__main__":
    main()
