#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the settings the example uses, then the
# program itself (under a virtual display when there is no screen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh
export VIREO_HOME="${VIREO_HOME:-$PWD/build/home}"
build/cli/vireo-cli settings
# The example board converted into a program file, then sent to the machine through the "dummy"
# device (the default s_periferica), printing every line as it is delivered.
mkdir -p "$VIREO_HOME"
example=examples/blink-top.gtl
build/cli/vireo-cli convert "$example" --set unita_gerber=inch --set opt_gbr=2 --output "$VIREO_HOME/blink-top.tpx"
build/cli/vireo-cli convert "$example" --set unita_gerber=inch --set opt_gbr=2 --sink periferica --lines
# The program's Z levels and cutting extent, and its plan view as a picture.
build/cli/vireo-cli trace "$VIREO_HOME/blink-top.tpx"
build/cli/vireo-cli preview "$VIREO_HOME/blink-top.tpx" --png "$VIREO_HOME/blink-top.png"
# The desktop program with the example open as its document.
if [ -n "${DISPLAY:-}" ]; then
  build/app/vireo "$example"
else
  echo "no display: starting vireo on the example on a virtual screen for 5 seconds"
  timeout 5 xvfb-run -a build/app/vireo "$example" || [ $? -eq 124 ]
fi
