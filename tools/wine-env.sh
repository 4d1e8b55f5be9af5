# Which Wine runs this project's Windows programs; sourced by the other scripts.
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

# wine_choose: sets wine_bits (32 or 64) and wine_reason. COUNTDOWN_WINE_ARCH
# (32 or 64) forces the choice; a forced width that cannot run is an error.
wine_choose() {
  local forced=${COUNTDOWN_WINE_ARCH:-}
  case $forced in
    32 | 64)
      if ! wine_try "$forced"; then
        echo "COUNTDOWN_WINE_ARCH=$forced, but $forced-bit Wine cannot run on this machine: $wine_error" >&2
        return 1
      fi
      wine_bits=$forced
      wine_reason="forced by COUNTDOWN_WINE_ARCH=$forced"
      ;;
    "")
      if wine_try 32; then
        wine_bits=32
        wine_reason="this machine runs 32-bit programs"
      else
        local why=$wine_error
        if ! wine_try 64; then
          echo "Neither 32-bit Wine ($why) nor 64-bit Wine ($wine_error) runs on this machine" >&2
          return 1
        fi
        wine_bits=64
        wine_reason="the 32-bit Wine loader cannot run here: $why"
      fi
      ;;
    *)
      echo "COUNTDOWN_WINE_ARCH must be 32 or 64, not '$forced'" >&2
      return 1
      ;;
  esac
}

# wine_use <32|64>: exports what Wine of that width needs. Programs are then
# started as "$WINELOADER" program.exe, never through the /usr/bin/wine
# wrapper, which picks the 32-bit loader whenever it is installed.
wine_use() {
  export WINELOADER WINEARCH=win$1
  WINELOADER=$(wine_loader "$1")
}
