#!/usr/bin/python3
"""Makes the bundled sample of Quarvel from a photograph.

    /usr/bin/python3 samples/make_samples.py [photo.png]

Needs Debian's python3-numpy and python3-pil. The photograph is the coffee cup
that Debian's python3-scikit-image ships (skimage/data/coffee.png, CC0 by
Rachel Michetti); `apt-get download python3-skimage` and `dpkg-deb -x` give
it without installing the package. Writes, beside this script:

  coffee.bmp       the class image: 200 x 150, 24-bit, every pixel's first
                   stored byte its class 1..6, the other two the green and
                   red of its class's mean colour (so the picture looks like
                   a posterised photograph)
  coffee.txt       the descriptor file: 6, then the mean red, green, blue of
                   each class, one class a line, class 1 first
  logo.jpg         the report's logo
"""

import struct
import sys
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

CLASSES = 6
WIDTH, HEIGHT = 200, 150
HERE = Path(__file__).resolve().parent
DEFAULT_PHOTO = "/usr/lib/python3/dist-packages/skimage/data/coffee.png"


def load_photo(path):
    photo = Image.open(path).convert("RGB")
    # Centre crop to 4:3, then down to the sample size.
    w, h = photo.size
    crop_w = min(w, h * 4 // 3)
    crop_h = crop_w * 3 // 4
    left, top = (w - crop_w) // 2, (h - crop_h) // 2
    photo = photo.crop((left, top, left + crop_w, top + crop_h))
    return np.asarray(photo.resize((WIDTH, HEIGHT), Image.LANCZOS), dtype=np.float64)


def kmeans(pixels, k, rounds=30):
    """Plain k-means started from colours at evenly spaced brightness ranks,
    so that the result never depends on a random seed."""
    brightness = pixels @ np.array([0.299, 0.587, 0.114])
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


def class_map(photo):
    pixels = photo.reshape(-1, 3)
    labels, centres = kmeans(pixels, CLASSES)
    # Classes numbered 1..k from the darkest to the brightest.
    rank = np.argsort(np.argsort(centres @ np.array([0.299, 0.587, 0.114])))
    classes = (rank[labels] + 1).astype(np.uint8).reshape(HEIGHT, WIDTH)
    # A majority filter removes the speckle that k-means leaves on textures,
    # so that the regions are shapes of the photograph rather than noise.
    image = Image.fromarray(classes, mode="L")
    for _ in range(2):
        image = image.filter(ImageFilter.ModeFilter(5))
    return np.asarray(image)


def mean_colours(photo, classes):
    return {c: photo[classes == c].mean(axis=0) for c in range(1, CLASSES + 1) if (classes == c).any()}


def write_class_image(path, classes, colours):
    row_bytes = 3 * WIDTH + WIDTH % 4
    data = bytearray()
    for r in range(HEIGHT - 1, -1, -1):  # bottom row first
        for c in classes[r]:
            red, green, _ = colours[int(c)]
            data += bytes((int(c), int(round(green)), int(round(red))))
        data += bytes(WIDTH % 4)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    header += struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, HEIGHT * row_bytes, 2835, 2835, 0, 0)
    path.write_bytes(header + data)


def write_descriptors(path, colours):
    lines = [str(len(colours))]
    lines += [" ".join(f"{v:.1f}" for v in colours[c]) for c in sorted(colours)]
    path.write_text("\n".join(lines) + "\n")


def write_logo(path):
    """A dark band with the product's name and a strip of class colours."""
    logo = Image.new("RGB", (360, 60), (6, 50, 75))
    text = Image.new("L", (90, 15), 0)
    ImageDraw.Draw(text).text((2, 1), "Quarvel", fill=255, font=ImageFont.load_default())
    text = text.resize((270, 45), Image.NEAREST)
    logo.paste((103, 203, 2), (70, 8), text)
    draw = ImageDraw.Draw(logo)
    swatches = [(60, 30, 25), (120, 45, 30), (170, 80, 50), (200, 130, 90), (225, 190, 160), (245, 240, 235)]
    for i, colour in enumerate(swatches):
        draw.rectangle((10 + (i % 3) * 16, 10 + (i // 3) * 22, 24 + (i % 3) * 16, 28 + (i // 3) * 22), fill=colour)
    logo.save(path, quality=90)


def main():
    photo = load_photo(sys.argv[1] if len(sys.argv) > 1 else DEFAULT_PHOTO)
    classes = class_map(photo)
    colours = mean_colours(photo, classes)
    write_class_image(HERE / "coffee.bmp", classes, colours)
    write_descriptors(HERE / "coffee.txt", colours)
    write_logo(HERE / "logo.jpg")


if __name__ == "__main__":
    main()
