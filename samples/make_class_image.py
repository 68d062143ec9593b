#!/usr/bin/python3
"""Makes a Quarvel class image and its descriptor file from any photograph.

    /usr/bin/python3 samples/make_class_image.py PHOTO CLASSES [--size SIZE] [--output NAME]

PHOTO is any picture PIL reads (JPEG, PNG, TIFF, BMP, ...). CLASSES is the
number of classes k (2 to 255). The photograph is scaled (SIZE: WIDTHxHEIGHT,
or a WIDTH that keeps its proportions; by default its longer side becomes 300
pixels, never enlarged), its colours are grouped into k classes by a plain
k-means that starts from evenly spaced brightness ranks (the same photograph
always gives the same classes), and a majority filter removes the speckle that
k-means leaves on textures. Writes, under NAME (by default the photograph's
name without its extension, in the current folder):

  NAME.bmp   the class image: a plain 24-bit bitmap (54-byte header, bottom row
             first) whose pixels carry their class as their tone, the first
             stored byte, numbered 1 to k from the darkest class to the
             brightest; the other two bytes hold the green and red of the
             class's mean colour, so that the picture looks like a posterised
             photograph. No pixel has tone 0.
  NAME.txt   the descriptor file: k, then the mean red, green and blue of each
             class, 0 to 255, one class a line, class 1 first.

A class that the filter empties is dropped and the others are numbered on, so
that the tones always run from 1 to the count the descriptor file starts with.
Then run the tool in that folder (with a logo.jpg beside it for the report):

    build/driver/quarvel

and answer NAME.bmp, NAME.txt, n, n and the number of regions wanted.

Needs Debian's python3-numpy and python3-pil.
"""

import argparse
import struct
import sys
from pathlib import Path

import numpy as np
from PIL import Image, ImageFilter

BRIGHTNESS = np.array([0.299, 0.587, 0.114])
DEFAULT_LONGER_SIDE = 300


def scaled_size(photo_size, size):
    """The size the photograph is scaled to: SIZE as WIDTHxHEIGHT or WIDTH, or
    the longer side brought down to DEFAULT_LONGER_SIDE."""
    width, height = photo_size
    if size:
        if "x" in size:
            w, h = (int(part) for part in size.split("x", 1))
        else:
            w = int(size)
            h = max(1, round(height * w / width))
        if w < 1 or h < 1:
            raise ValueError(f"size {size}: both sides must be at least 1")
        return w, h
    scale = min(1.0, DEFAULT_LONGER_SIDE / max(width, height))
    return max(1, round(width * scale)), max(1, round(height * scale))


def load_photo(path, size):
    photo = Image.open(path).convert("RGB")
    return np.asarray(photo.resize(size, Image.LANCZOS), dtype=np.float64)


def kmeans(pixels, k, rounds=30):
    """Plain k-means started from colours at evenly spaced brightness ranks,
    so that the result never depends on a random seed."""
    brightness = pixels @ BRIGHTNESS
    order = np.argsort(brightness, kind="stable")
    centres = pixels[order[((np.arange(k) + 0.5) * len(order) / k).astype(int)]].copy()
    for _ in range(rounds):
        distances = ((pixels[:, None, :] - centres[None, :, :]) ** 2).sum(axis=2)
        labels = distances.argmin(axis=1)
        for c in range(k):
            members = pixels[labels == c]
            if len(members):
                centres[c] = members.mean(axis=0)
    return labels, centres


def class_map(photo, k):
    """The classes of the pixels, 1 to k from the darkest centre to the
    brightest, after two passes of a 5 x 5 majority filter."""
    height, width, _ = photo.shape
    labels, centres = kmeans(photo.reshape(-1, 3), k)
    rank = np.argsort(np.argsort(centres @ BRIGHTNESS))
    classes = (rank[labels] + 1).astype(np.uint8).reshape(height, width)
    image = Image.fromarray(classes, mode="L")
    for _ in range(2):
        image = image.filter(ImageFilter.ModeFilter(5))
    return np.asarray(image)


def renumbered(classes):
    """The classes numbered 1 to n in their order, without the emptied ones."""
    present = sorted(int(c) for c in np.unique(classes))
    lookup = np.zeros(256, dtype=np.uint8)
    for number, c in enumerate(present, start=1):
        lookup[c] = number
    return lookup[classes]


def mean_colours(photo, classes):
    return {int(c): photo[classes == c].mean(axis=0) for c in np.unique(classes)}


def class_image_bytes(classes, colours):
    """A plain 24-bit bitmap: 54-byte header, rows bottom first, each padded
    to a multiple of 4 bytes; a pixel stores its class, then the green and red
    of its class's mean colour."""
    height, width = classes.shape
    padding = bytes(width % 4)
    data = bytearray()
    for r in range(height - 1, -1, -1):
        for c in classes[r]:
            red, green, _ = colours[int(c)]
            data += bytes((int(c), int(round(green)), int(round(red))))
        data += padding
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + data


def descriptor_text(colours):
    lines = [str(len(colours))]
    lines += [" ".join(f"{v:.1f}" for v in colours[c]) for c in sorted(colours)]
    return "\n".join(lines) + "\n"


def make_class_image(photo_path, k, size=None):
    """The bytes of the class image and the text of the descriptor file."""
    with Image.open(photo_path) as probe:
        target = scaled_size(probe.size, size)
    photo = load_photo(photo_path, target)
    classes = renumbered(class_map(photo, k))
    colours = mean_colours(photo, classes)
    return class_image_bytes(classes, colours), descriptor_text(colours)


def main():
    parser = argparse.ArgumentParser(description="Makes a Quarvel class image and descriptor file from a photograph.")
    parser.add_argument("photo", help="the photograph (any format PIL reads)")
    parser.add_argument("classes", type=int, help="number of classes, 2 to 255")
    parser.add_argument("--size", help="WIDTHxHEIGHT, or WIDTH keeping the proportions (default: longer side 300)")
    parser.add_argument("--output", help="NAME of the two files, NAME.bmp and NAME.txt (default: the photo's name)")
    args = parser.parse_args()
    if not 2 <= args.classes <= 255:
        parser.error("the number of classes must be from 2 to 255")
    try:
        image, descriptors = make_class_image(args.photo, args.classes, args.size)
    except (OSError, ValueError) as error:
        sys.exit(f"make_class_image: {error}")
    name = Path(args.output) if args.output else Path(Path(args.photo).stem)
    bitmap = name.with_name(name.name + ".bmp")
    text = name.with_name(name.name + ".txt")
    bitmap.write_bytes(image)
    text.write_text(descriptors)
    print(f"{bitmap}: {descriptors.split()[0]} classes; {text}: their mean colours")


if __name__ == "__main__":
    main()
