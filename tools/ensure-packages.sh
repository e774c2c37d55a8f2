#!/usr/bin/env bash
# Installs the Debian packages Velmora needs, only those that are missing.
# Usage: tools/ensure-packages.sh [build|test|run|fuzz]...
set -euo pipefail

packages=(g++ make cmake pkg-config qt6-base-dev qt6-base-dev-tools nlohmann-json3-dev
          fonts-dejavu-core)
for need in "$@"; do
  case "$need" in
    build) ;;
    test) packages+=(libgtest-dev libgmock-dev libbenchmark-dev python3) ;;
    run) packages+=(xvfb xauth x11-utils) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "ensure-packages: unknown need '$need'" >&2; exit 2 ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
