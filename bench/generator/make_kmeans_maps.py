#!/usr/bin/python3
"""Makes the k-means class maps of the benchmarks from real photographs.

    /usr/bin/python3 bench/generator/make_kmeans_maps.py [--folder DIR]
        [--sizes 1024,2048,4096] [--classes 8] [--seed 20261208]

Needs Debian's python3-skimage (for its sample photographs, read straight from
its data folder), python3-numpy and python3-pil. For every side S it writes
into DIR (default /tmp/quarvel_kmeans):

  kmeans_S.bmp   an S x S 24-bit class image: a mosaic of 512 x 512 tiles cut
                 from the photographs (each tile flipped or turned by a seeded
                 draw), clustered into k colour classes by k-means; every
                 pixel's first stored byte is its class 1..k (darkest first),
                 the other two the green and red of its class's mean colour
  kmeans_S.txt   the descriptor file: k, then the mean red, green, blue of each
                 class, one class a line, class 1 first

The same arguments always give the same files: the tiles are drawn by a
seeded generator and k-means starts from colours at evenly spaced brightness
ranks. Raw k-means labels are kept (no smoothing), as users bring them.
"""

import argparse
import struct
from pathlib import Path

import numpy as np
from PIL import Image

TILE = 512
LUMA = np.array([0.299, 0.587, 0.114])
PHOTOS = [
    "astronaut.png",
    "coffee.png",
    "chelsea.png",
    "rocket.jpg",
    "motorcycle_left.png",
    "motorcycle_right.png",
    "hubble_deep_field.jpg",
    "retina.jpg",
    "ihc.png",
    "camera.png",
    "moon.png",
    "coins.png",
    "brick.png",
]


def photo_folder():
    import skimage.data

    return Path(skimage.data.__file__).resolve().parent


def tiles_of(path):
    """Every whole 512 x 512 tile of a photograph, after scaling it up so
    that its shorter side is at least one tile."""
    photo = Image.open(path).convert("RGB")
    w, h = photo.size
    if min(w, h) < TILE:
        scale = TILE / min(w, h)
        photo = photo.resize((max(TILE, round(w * scale)), max(TILE, round(h * scale))), Image.BICUBIC)
        w, h = photo.size
    pixels = np.asarray(photo, dtype=np.uint8)
    tiles = []
    for top in range(0, h - TILE + 1, TILE):
        for left in range(0, w - TILE + 1, TILE):
            tiles.append(pixels[top : top + TILE, left : left + TILE])
    if not tiles:
        tiles.append(pixels[:TILE, :TILE])
    return tiles


def tile_pool():
    folder = photo_folder()
    pool = []
    for name in PHOTOS:
        pool.extend(tiles_of(folder / name))
    return pool


def mosaic(pool, side, rng):
    per_side = side // TILE
    order = rng.permutation(len(pool))
    rows = []
    for r in range(per_side):
        row = []
        for c in range(per_side):
            tile = pool[order[(r * per_side + c) % len(pool)]]
            turn = int(rng.integers(4))
            tile = np.rot90(tile, turn)
            if rng.integers(2):
                tile = tile[:, ::-1]
            row.append(tile)
        rows.append(np.concatenate(row, axis=1))
    return np.concatenate(rows, axis=0)


def nearest_centre(pixels, centres, chunk=1 << 20):
    labels = np.empty(len(pixels), dtype=np.int64)
    for start in range(0, len(pixels), chunk):
        part = pixels[start : start + chunk].astype(np.float64)
        distances = ((part[:, None, :] - centres[None, :, :]) ** 2).sum(axis=2)
        labels[start : start + chunk] = distances.argmin(axis=1)
    return labels


def kmeans(pixels, k, rng, sample_size=400_000, rounds=30):
    """Centres fitted on a seeded sample of the pixels, started from colours at
    evenly spaced brightness ranks; then every pixel goes to its nearest
    centre."""
    sample = pixels[rng.choice(len(pixels), size=min(sample_size, len(pixels)), replace=False)]
    sample = sample.astype(np.float64)
    order = np.argsort(sample @ LUMA, kind="stable")
    centres = sample[order[((np.arange(k) + 0.5) * len(order) / k).astype(int)]].copy()
    for _ in range(rounds):
        labels = nearest_centre(sample, centres)
        for c in range(k):
            members = sample[labels == c]
            if len(members):
                centres[c] = members.mean(axis=0)
    return nearest_centre(pixels, centres)


def class_map(image, k, rng):
    side = image.shape[0]
    pixels = image.reshape(-1, 3)
    labels = kmeans(pixels, k, rng)
    colours = np.array([pixels[labels == c].mean(axis=0) if (labels == c).any() else [0, 0, 0] for c in range(k)])
    rank = np.argsort(np.argsort(colours @ LUMA, kind="stable"), kind="stable")
    classes = (rank[labels] + 1).astype(np.uint8).reshape(side, side)
    ordered = np.empty_like(colours)
    ordered[rank] = colours
    return classes, ordered


def write_class_image(path, classes, colours):
    height, width = classes.shape
    rounded = np.rint(colours).astype(np.uint8)
    table = np.zeros((len(colours) + 1, 3), dtype=np.uint8)
    table[1:, 0] = np.arange(1, len(colours) + 1)
    table[1:, 1] = rounded[:, 1]
    table[1:, 2] = rounded[:, 0]
    rows = table[classes[::-1]]  # bottom row first
    padding = (4 - (3 * width) % 4) % 4
    data = np.zeros((height, 3 * width + padding), dtype=np.uint8)
    data[:, : 3 * width] = rows.reshape(height, 3 * width)
    data = data.tobytes()
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    path.write_bytes(header + data)


def write_descriptors(path, colours):
    lines = [str(len(colours))]
    lines += [" ".join(f"{v:.1f}" for v in colour) for colour in colours]
    path.write_text("\n".join(lines) + "\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--folder", default="/tmp/quarvel_kmeans")
    parser.add_argument("--sizes", default="1024,2048,4096")
    parser.add_argument("--classes", type=int, default=8)
    parser.add_argument("--seed", type=int, default=20261208)
    args = parser.parse_args()
    folder = Path(args.folder)
    folder.mkdir(parents=True, exist_ok=True)
    pool = tile_pool()
    for side in (int(s) for s in args.sizes.split(",")):
        if side % TILE:
            raise SystemExit(f"side {side} is not a multiple of {TILE}")
        rng = np.random.default_rng(args.seed + side)
        classes, colours = class_map(mosaic(pool, side, rng), args.classes, rng)
        write_class_image(folder / f"kmeans_{side}.bmp", classes, colours)
        write_descriptors(folder / f"kmeans_{side}.txt", colours)
        print(f"kmeans_{side}.bmp: {side} x {side}, {args.classes} classes, {len(pool)} tiles in the pool")


if __name__ == "__main__":
    main()
