#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again:
# when everything is there already, it touches nothing.
#   bootstrap.sh [the command to suggest under sudo when not root]
set -euo pipefail

if [[ $(id -u) -ne 0 ]]; then
  echo "Needs root to install packages. Run: sudo bash ${1:-$0}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive

# PulseAudio gives the tests a private sound server whose null sink they record;
# Wine's pulse driver (winepulse) needs libpulse in the width of each loader;
# sox is for looking at a recording by hand; Clang with its runtime libraries
# builds the fuzz target (libFuzzer).
packages=(wine wine32:i386 wine64 g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix cmake make xvfb x11-apps x11-utils
          imagemagick fonts-wqy-microhei googletest locales python3 python3-pil
          pulseaudio pulseaudio-utils libpulse0 libpulse0:i386 sox clang clang-format libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # A mirror caught in the middle of a sync fails one index now and then; the
  # lists that did arrive are enough to install from, so a failed update is
  # tried twice more and then let be.
  for try in 1 2 3; do
    apt-get update && break
    sleep 5
  done
  # The security suite's i386 list is the one a mirror in the middle of a
  # sync leaves behind the amd64 one; no i386 library then matches the newer
  # amd64 twin it would have to sit beside. The release's own suite has both
  # widths at the same versions, so the whole set is tried again from there,
  # before anything is installed without i386: amd64 packages taken from the
  # security suite would leave their i386 twins no match to come back to.
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if apt-get install -y "${missing[@]}"; then
    echo "Set-up: installed everything from the current package lists."
  elif [[ -n $release ]] && apt-get install -y -t "$release" "${missing[@]}"; then
    echo "Set-up: the first install failed; installed everything from the release's own suite ($release)."
  else
    # The Wine layers then run on the 64-bit build, and the test summary says why.
    apt-get install -y "${missing[@]/*:i386/}"
    echo "Set-up: installed everything but the i386 packages; 32-bit Wine is missing." >&2
  fi
fi

# Wine takes its code page from the locale: zh_CN.UTF-8 makes it behave like a
# Chinese Windows (code page 936); the tests also run the program as on a
# Taiwanese (950), Japanese (932), Korean (949) and UTF-8 (65001: a locale
# with no code page of its own, such as hi_IN) Windows.
locales=(zh_CN.UTF-8 zh_TW.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8 hi_IN.UTF-8)
generate=0
for l in "${locales[@]}"; do
  locale -a 2>/dev/null | grep -qix "${l%.UTF-8}.utf8" && continue
  generate=1
  if grep -q "^# *$l UTF-8" /etc/locale.gen; then
    sed -i "s/^# *$l UTF-8/$l UTF-8/" /etc/locale.gen
  elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
    echo "$l UTF-8" >> /etc/locale.gen
  fi
done
if ((generate)); then locale-gen; fi
