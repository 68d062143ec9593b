#!/bin/sh
# Remakes docs/report.png, the picture of the demo's report page that README.md
# shows: runs the demo, photographs its page with headless Chromium, keeps the
# top 960 pixels and stores them with 64 colours. Needs Debian's chromium and
# python3-pil.
#
#   sh docs/make_screenshot.sh [build-folder]
set -eu

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/samples/run_demo.sh" "$build" >/dev/null
page="$(cd "$build" && pwd)/demo/C:/coffee.bmp_0.5_5_40/index.html"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1000,1300 \
  --screenshot="$scratch/page.png" "file://$page" 2>/dev/null
/usr/bin/python3 - "$scratch/page.png" "$root/docs/report.png" <<'PY'
import sys
from PIL import Image
page = Image.open(sys.argv[1]).convert("RGB").crop((0, 0, 1000, 960))
page.quantize(colors=64, method=Image.Quantize.MEDIANCUT).save(sys.argv[2], optimize=True)
PY
echo "docs/report.png: $(wc -c < "$root/docs/report.png") bytes"
