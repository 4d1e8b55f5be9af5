# Which Wine runs this project's Windows programs, the environment they run
# in, and how a preset is built; sourced by the other scripts.
#
# Some x86-64 machines cannot execute 32-bit Linux programs: there the i386
# Wine loader fails with "Exec format error", however completely wine32 is
# installed. Whether it runs is found out by starting it, never guessed from
# packages or kernel settings. Where it does not run, the 64-bit build of the
# same tree runs under 64-bit Wine instead.

# wine_loader <32|64>: the Wine loader of that width.
wine_loader() {
  if [[ $1 == 64 ]]; then echo /usr/lib/wine/wine64; else echo /usr/lib/wine/wine; fi
}

# wine_try <32|64>: true when that loader starts here; otherwise $wine_error
# holds why.
wine_try() {
  local loader out
  loader=$(wine_loader "$1")
  if [[ ! -x $loader ]]; then
    wine_error="$loader is not installed"
    [[ $1 == 32 ]] && wine_error+=" (set-up could not install wine32:i386; its output says why)"
    return 1
  fi
  # Through bash, not exec'd by timeout directly: execvp would hand a binary it
  # cannot execute to /bin/sh, and report a shell syntax error instead.
  if out=$(timeout 30 bash -c '"$0" --version' "$loader" 2>&1); then
    return 0
  fi
  out=${out##*$'\n'}
  out=${out#*: line 1: }
  wine_error=${out:-$loader --version failed}
  return 1
}

# Some machines cannot execute any 32-bit x86 code. There Debian 13's static
# qemu-i386 (package qemu-user, version 10; Debian 12's 7.2 cannot start 32-bit
# Wine) runs 32-bit Wine and the product, more slowly: its package is fetched
# into build/qemu through a sources list of its own, leaving the system's
# alone, and the emulator is registered with binfmt_misc for i386 programs
# (flag F: the kernel holds the file open) until the machine restarts.
qemu_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/qemu
qemu_entry=/proc/sys/fs/binfmt_misc/countdown-qemu-i386

# i386_runs: true when an i386 program runs here, one way or another.
i386_runs() {
  local probe=$qemu_dir/exit42
  mkdir -p "$qemu_dir"
  # The smallest i386 program: exit(42).
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null
  [[ $? == 42 ]]
}

# i386_native: true when this machine executes 32-bit x86 code itself. Our
# own emulator entry, left from an earlier run, is set aside while it looks.
i386_native() {
  local rc=0
  [[ -e $qemu_entry ]] && echo 0 >"$qemu_entry"
  i386_runs || rc=1
  [[ -e $qemu_entry ]] && echo 1 >"$qemu_entry"
  return $rc
}

# qemu_i386: makes 32-bit programs run here through the emulator; true when
# they then do.
qemu_i386() {
  [[ -e $qemu_entry ]] && return 0
  local qemu=$qemu_dir/usr/bin/qemu-i386
  if [[ ! -x $qemu ]]; then
    echo "Fetching Debian 13's qemu-i386 into $qemu_dir." >&2
    local mirror apt
    # The system's own Debian mirror, with Debian 13's suite.
    mirror=$(awk '/^URIs:/ { u = $2 } /^Suites:/ && / bookworm( |$)/ { print u; exit }' \
      /etc/apt/sources.list.d/debian.sources 2>/dev/null)
    [[ -n $mirror ]] || mirror=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
    [[ -n $mirror ]] || { echo "No Debian mirror found in the system's package sources." >&2; return 1; }
    mkdir -p "$qemu_dir/apt/lists/partial" "$qemu_dir/apt/archives/partial"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" >"$qemu_dir/apt/sources.list"
    apt=(-o "Dir::Etc::sourcelist=$qemu_dir/apt/sources.list" -o Dir::Etc::sourceparts=-
      -o "Dir::State::lists=$qemu_dir/apt/lists" -o "Dir::Cache::archives=$qemu_dir/apt/archives"
      -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root)
    (cd "$qemu_dir/apt" && apt-get "${apt[@]}" -q update >/dev/null && apt-get "${apt[@]}" -q download qemu-user) || return 1
    dpkg-deb --fsys-tarfile "$qemu_dir"/apt/qemu-user_*.deb | tar -x -C "$qemu_dir" ./usr/bin/qemu-i386 || return 1
    rm -rf "$qemu_dir/apt"
  fi
  [[ -e /proc/sys/fs/binfmt_misc/register ]] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc || return 1
  # i386 ELF executables, as qemu's own binfmt configuration matches them.
  printf '%s' ':countdown-qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
    >/proc/sys/fs/binfmt_misc/register || return 1
  i386_runs
}

# wine_emulated: 1 when the 32-bit Wine that wine_choose took runs under qemu;
# qemu_error: why it could not, where it was tried and failed.
wine_emulated=0 qemu_error=

# wine_choose: sets wine_bits (32 or 64), wine_reason and wine_emulated.
# COUNTDOWN_WINE_ARCH (32 or 64) forces the choice; a forced width that cannot
# run is an error. COUNTDOWN_WINE_ARCH=qemu runs 32-bit Wine emulated even
# where the machine runs it itself, as a machine that cannot would.
wine_choose() {
  local forced=${COUNTDOWN_WINE_ARCH:-}
  if [[ $forced == qemu ]]; then
    qemu_i386 || { echo "COUNTDOWN_WINE_ARCH=qemu, but qemu-i386 could not be set up" >&2; return 1; }
    wine_emulated=1
    forced=32
  elif [[ $forced != 64 ]] && [[ -x $(wine_loader 32) ]]; then
    if i386_native; then
      [[ -e $qemu_entry ]] && echo -1 >"$qemu_entry"  # not needed here
    elif qemu_i386; then
      wine_emulated=1
    else
      qemu_error="; nor could Debian 13's qemu-i386 be set up to run it"
    fi
  fi
  case $forced in
    32 | 64)
      if ! wine_try "$forced"; then
        echo "COUNTDOWN_WINE_ARCH=$forced, but $forced-bit Wine cannot run on this machine: $wine_error" >&2
        return 1
      fi
      wine_bits=$forced
      wine_reason="forced by COUNTDOWN_WINE_ARCH=$COUNTDOWN_WINE_ARCH"
      ;;
    "")
      if wine_try 32; then
        wine_bits=32
        wine_reason="this machine runs 32-bit programs"
        if ((wine_emulated)); then
          wine_reason="this machine runs 32-bit programs only through Debian 13's qemu-i386 (build/qemu)"
        fi
      else
        local why=$wine_error
        if ! wine_try 64; then
          echo "Neither 32-bit Wine ($why) nor 64-bit Wine ($wine_error) runs on this machine" >&2
          return 1
        fi
        wine_bits=64
        wine_reason="the 32-bit Wine loader cannot run here: $why$qemu_error"
      fi
      ;;
    *)
      echo "COUNTDOWN_WINE_ARCH must be 32 or 64, not '$forced'" >&2
      return 1
      ;;
  esac
}

# build_preset <preset> [cmake --build arguments...]: configures the preset
# and builds it, two jobs at a time.
build_preset() {
  cmake --preset "$1" && cmake --build --preset "$1" -j2 "${@:2}"
}

# wine_defaults: the environment every Wine program here runs in, each part
# one that the caller may have set otherwise: no debug output; no Mono or
# Gecko prompt and no desktop menu entries; and the Chinese locale, in which
# Wine uses code page 936 like a Chinese Windows (COUNTDOWN_LANG asks for
# another: C.UTF-8 gives code page 1252, like a Western Windows).
wine_defaults() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}
  export LANG=${COUNTDOWN_LANG:-zh_CN.UTF-8} LC_ALL=${COUNTDOWN_LANG:-zh_CN.UTF-8}
}

# wine_use <32|64>: exports what Wine of that width needs. Programs are then
# started as "$WINELOADER" program.exe, never through the /usr/bin/wine
# wrapper, which picks the 32-bit loader whenever it is installed.
wine_use() {
  export WINELOADER WINEARCH=win$1
  WINELOADER=$(wine_loader "$1")
}
