#!/usr/bin/env bash
# Runs a command of the WebAssembly tests, or skips it (status 77) where a tool it needs
# is not installed; scripts/install-deps installs them all.
set -euo pipefail
for tool in emcmake node; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: '$tool' is not installed (Debian emscripten and nodejs; scripts/install-deps)"
    exit 77
  fi
done
shift  # the build folder, for the tests that need more tools
exec "$@"
