#!/usr/bin/env bash
# The review page's tests in Debian's chromium, driven by puppeteer-core:
#   run.sh BIN_DIR
# Skipped (exit 77, said loudly) where node, chromium or the test's node
# modules (npm ci in tests/browser) are missing, unless
# SCANMEND_REQUIRE_BROWSER=1, as in CI, where that fails.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
missing=()
command -v node > /dev/null || missing+=("node (apt-get install nodejs)")
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || missing+=("chromium (apt-get install chromium)")
[ -d "$here/node_modules/puppeteer-core" ] || missing+=("puppeteer-core (cd tests/browser && npm ci)")
if [ ${#missing[@]} -gt 0 ]; then
  echo "SKIPPED: the browser tests need ${missing[*]}"
  [ "${SCANMEND_REQUIRE_BROWSER:-0}" = 1 ] && exit 1
  exit 77
fi
cd "$here" && SCANMEND_BIN_DIR=$1 exec node --test review.test.js
