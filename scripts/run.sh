#!/usr/bin/env bash
# Installs what is missing, builds, and runs pictrove on a sample icon that
# this script makes: lists it, describes its images, and saves it as .ico and
# .bmp into build/sample/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

sample=build/sample
mkdir -p "$sample"
convert -size 48x48 plasma:fractal -define icon:auto-resize=256,48,32,16 "$sample/sample.ico"

pictrove=build/native/cli/pictrove
set -x
"$pictrove" list "$sample/sample.ico"
"$pictrove" info "$sample/sample.ico"
"$pictrove" save "$sample/sample.ico" "$sample/copy.ico"
"$pictrove" save "$sample/sample.ico" "$sample/first.bmp"
