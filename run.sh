#!/usr/bin/env bash
# Installs what is missing, builds incrementally and starts a program: ./run.sh [tavrin|norvex]
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh

program=${1:-tavrin}
shift || true
case "$program" in
  tavrin) binary=build/bench/tavrin ;;
  norvex) binary=build/redirector/norvex ;;
  *) echo "usage: $0 [tavrin|norvex]" >&2; exit 2 ;;
esac

ensure_packages "${BUILD_PACKAGES[@]}"
configure_and_build build
exec "$binary" "$@"
