#!/usr/bin/python3
"""Makes the bundled sample of Quarvel from a photograph, with the class-image
tool beside this script (make_class_image.py) and a fixed crop and size.

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

import sys
from pathlib import Path

import numpy as np
from PIL import Image, ImageDraw, ImageFont

from make_class_image import class_image_bytes, class_map, descriptor_text, mean_colours, renumbered

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
    classes = renumbered(class_map(photo, CLASSES))
    colours = mean_colours(photo, classes)
    (HERE / "coffee.bmp").write_bytes(class_image_bytes(classes, colours))
    (HERE / "coffee.txt").write_text(descriptor_text(colours))
    write_logo(HERE / "logo.jpg")


if __name__ == "__main__":
    main()
