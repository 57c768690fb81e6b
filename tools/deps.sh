#!/usr/bin/env bash
# Installs what the build, the tests and the demo need on a Debian machine:
# apt-get update, then only the packages that are missing. Also makes the
# zh_CN.UTF-8 locale (code page 936 under Wine) and the ordinary user that
# runs the Wine side of the tests.
set -euo pipefail

packages=(
  cmake g++ make libgtest-dev googletest pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine64 xvfb xauth x11-utils imagemagick fonts-wqy-microhei locales
  clang libclang-rt-14-dev
  libbenchmark-dev
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
# Another apt run (an unattended upgrade, a second command) may hold apt's
# locks for a while: wait for them rather than fail.
lock_wait=(-o DPkg::Lock::Timeout=600)
echo "deps: updating the package lists"
for attempt in $(seq 60); do
  $SUDO apt-get "${lock_wait[@]}" update -qq && break
  [ "$attempt" -eq 60 ] && exit 1
  echo "deps: apt is busy; trying again in 10 s" >&2
  sleep 10
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "deps: installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
else
  echo "deps: every package is installed"
fi

if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  echo "deps: generating the zh_CN.UTF-8 locale"
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi

# Wine run as root ignores read-only bits; the tests run it as this user.
user=${TAVRIN_WINE_USER:-tavrin}
if [ "$(id -u)" -eq 0 ] && ! id "$user" >/dev/null 2>&1; then
  echo "deps: adding the user $user for the Wine side of the tests"
  useradd -m -s /bin/bash "$user"
fi
