#!/usr/bin/env bash
# Starts the program (placeholder until the window lands).
set -euo pipefail
exec "$(dirname "$0")/../build/dova" "$@"
