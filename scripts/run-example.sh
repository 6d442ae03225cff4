#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the settings the example uses, then the
# program itself (under a virtual display when there is no screen).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
scripts/build.sh
export VIREO_HOME="${VIREO_HOME:-$PWD/build/home}"
build/cli/vireo-cli settings
# The example board converted into a program file, then shown as the output view's text.
mkdir -p "$VIREO_HOME"
build/cli/vireo-cli convert examples/blink-top.gtl --set unita_gerber=inch --set opt_gbr=2 \
  --output "$VIREO_HOME/blink-top.tpx"
build/cli/vireo-cli convert examples/blink-top.gtl --set unita_gerber=inch --set opt_gbr=2 --sink rtf
echo
if [ -n "${DISPLAY:-}" ]; then
  build/app/vireo
else
  echo "no display: starting vireo on a virtual screen for 5 seconds"
  timeout 5 xvfb-run -a build/app/vireo || [ $? -eq 124 ]
fi
