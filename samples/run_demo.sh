#!/bin/sh
# Runs one whole analysis of the bundled sample: copies it into a fresh scratch
# folder under the build folder, answers the dialogue (the sample's two files,
# the default Epsilon and NbPixMin, 40 of the 68 regions kept at the end) and
# tells where the report is.
#
#   sh samples/run_demo.sh [build-folder]
set -eu

build=$(cd "${1:-build}" && pwd)
samples=$(cd "$(dirname "$0")" && pwd)
tool="$build/driver/quarvel"
demo="$build/demo"

if [ ! -x "$tool" ]; then
  echo "quarvel is not built in $build" >&2
  exit 1
fi

rm -rf "$demo"
mkdir -p "$demo"
cp "$samples/coffee.bmp" "$samples/coffee.txt" "$samples/logo.jpg" "$demo/"
cd "$demo"
# The text summary runs to a few thousand lines: the whole console goes to
# console.txt, and only the dialogue is shown.
printf 'coffee.bmp\ncoffee.txt\nn\nn\n40\n' | "$tool" > console.txt
sed '/^Fusion OK$/q' console.txt
echo "[... resume de l analyse : $demo/console.txt ...]"
tail -n 2 console.txt

page="$demo/C:/coffee.bmp_0.5_5_40/index.html"
if [ ! -f "$page" ]; then
  echo "no report was written" >&2
  exit 1
fi
echo
echo "Rapport : $page"
