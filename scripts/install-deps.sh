#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the tool need and is not
# there yet. Pass --fuzz to add clang and its fuzzer runtime, --bench for the benchmark library
# and the npm peers of the CSS benchmark.
set -euo pipefail

packages=(cmake ninja-build g++ make pkg-config libicu-dev zlib1g-dev libminizip-dev libcurl4-openssl-dev
  libxml2-dev libgtest-dev libgmock-dev libssl-dev locales)
# Test-only: a loopback HTTP(S) server library and the certificate tool for it, the tools that
# make and check archives in the interoperability tests, and xmllint, which reads every document
# the DOM round trip saves.
packages+=(libcpp-httplib-dev openssl zip unzip gzip python3 libxml2-utils)
bench=0
for arg in "$@"; do
  case "$arg" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    # expat, pugixml and gumbo are baselines of the XML, DOM and HTML benchmarks, nothing else
    # links them (libxml2, also a baseline there, is a base package: the library's second parser
    # uses it).
    --bench) packages+=(libbenchmark-dev libexpat1-dev libpugixml-dev libgumbo-dev)
      # node and npm run the CSS benchmark's two npm peers (bench/css); nothing else uses them.
      # A node installed from elsewhere that bundles its own npm conflicts with Debian's npm.
      command -v node >/dev/null && command -v npm >/dev/null || packages+=(nodejs npm)
      bench=1 ;;
    *) echo "install-deps.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# The number tests run under a locale with a decimal comma to prove that printing ignores it.
ensure_test_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE.utf8' && return 0
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
    echo "install-deps.sh: could not generate de_DE.UTF-8; locale tests will be skipped" >&2
}

# The CSS benchmark's peers, at the versions of the committed lock file (node_modules is ignored by git).
install_bench_peers() {
  [ "$bench" -eq 1 ] || return 0
  npm ci --prefix "$(dirname "$0")/../bench/css" --no-audit --no-fund --loglevel=error >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
ensure_test_locale
install_bench_peers
