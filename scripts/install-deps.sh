#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the tool need and is not
# there yet. Pass --fuzz to add clang and its fuzzer runtime, --bench for the benchmark library.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config libicu-dev libgtest-dev libgmock-dev libssl-dev)
for arg in "$@"; do
  case "$arg" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --bench) packages+=(libbenchmark-dev) ;;
    *) echo "install-deps.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
