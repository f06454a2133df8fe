#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test the program.
# Idempotent: packages already present are left alone, and nothing is done
# when all of them are there.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
  libssl-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev
  xvfb xauth fonts-wqy-microhei
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
