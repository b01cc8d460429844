#!/usr/bin/env bash
# Runs page_test.js in headless Chromium: puppeteer-core comes from npm at the versions of
# package-lock.json, installed in the build folder; the browser is Debian's, never a download.
# Usage: page_test.sh WEB_FOLDER NATIVE_CLI SCRATCH
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
scratch=$3
if [ ! -x /usr/bin/chromium ]; then
  echo "skipped: Chromium is not installed (Debian chromium; scripts/install-deps)"
  exit 77
fi
if ! command -v npm >/dev/null; then
  echo "skipped: npm is not installed (Debian npm; scripts/install-deps)"
  exit 77
fi
mkdir -p "$scratch/npm"
if ! cmp -s "$here/package-lock.json" "$scratch/npm/package-lock.json" || [ ! -d "$scratch/npm/node_modules" ]; then
  cp "$here/package.json" "$here/package-lock.json" "$scratch/npm/"
  (cd "$scratch/npm" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
NODE_PATH="$scratch/npm/node_modules" exec node "$here/page_test.js" "$@"
