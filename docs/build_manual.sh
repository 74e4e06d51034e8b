#!/bin/sh
# Regenerates the operation manual: pictures of the editor made by kavtamor on
# a private X display and the delivery plot of the demo mix, then
# docs/manual.md through Python-Markdown and WeasyPrint into docs/manual.pdf.
# Run by `./run manual`.
# Usage: docs/build_manual.sh BUILD_DIR
set -eu
build=${1:?usage: build_manual.sh BUILD_DIR}
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$docs/pictures"

# The editor playing the demo mix, so the meters show a signal.
"$build/kavtamor" demo-material "$work/demo.wav" >/dev/null
xvfb-run -a "$build/kavtamor" editor --input "$work/demo.wav" --loop \
    --screenshot "$docs/pictures/editor.png" --after 2500
# The preset bar on its own, twice the size, pixels kept sharp.
/usr/bin/python3 - "$docs/pictures/editor.png" "$docs/pictures/preset-bar.png" <<'PY'
import sys
from PIL import Image
editor = Image.open(sys.argv[1])
bar = editor.crop((0, 436, editor.width, editor.height))
bar.resize((bar.width * 2, bar.height * 2), Image.NEAREST).save(sys.argv[2], optimize=True)
PY
# The plot of the manual's first delivery example, made from the demo mix.
"$build/kavtamor" render "$work/demo.wav" "$work/master.wav" --loudness -14 --true-peak -1 \
    --set Oversample=on --plot "$docs/pictures/delivery_plot.png" --quiet

/usr/bin/python3 - "$docs/manual.md" "$work/manual.html" <<'PY'
import sys
import markdown
text = open(sys.argv[1], encoding="utf-8").read()
body = markdown.markdown(text, extensions=["tables", "toc", "attr_list"],
                         extension_configs={"toc": {"toc_depth": "2-2"}})
with open(sys.argv[2], "w", encoding="utf-8") as out:
    out.write('<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">'
              '<title>Kav Tamor 1.5.1 Operation Manual</title>'
              '<link rel="stylesheet" href="manual.css"></head><body>')
    out.write(body)
    out.write("</body></html>")
PY
cp "$docs/manual.css" "$work/"
ln -s "$docs/pictures" "$work/pictures"
weasyprint "$work/manual.html" "$docs/manual.pdf"
echo "docs/manual.pdf: $(wc -c <"$docs/manual.pdf") bytes"
