#!/usr/bin/env bash
# The demo: an emulated drive and a sample package. Completed once the programs exist.
set -euo pipefail
echo "demo: the programs are not built yet"
