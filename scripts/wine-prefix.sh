#!/usr/bin/env bash
# Makes a Wine prefix ready for the program, once: the prefix itself, and
# Wine's Marlett font (from Debian's fonts-wine, which this Wine does not
# find by itself: without it the caption's close box shows an "r"), and the
# Chinese dialog font "宋体" (SimSun, not shipped with Wine) mapped to
# WenQuanYi Micro Hei. With --desktop, every program of the
# prefix runs inside one virtual desktop of 1024x768, which draws window
# frames without a window manager (the GUI tests' prefix).
# Usage: wine-prefix.sh PREFIX [--desktop]. Safe to run again and at the
# same time from several processes.
set -euo pipefail

prefix=$1
desktop=${2:-}
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win32

# Bump when the settings below change, so that existing prefixes get them.
settings_version=3
stamp=$prefix/.pictrove-settings
wanted="$settings_version${desktop:+ desktop}"

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  if [ "$(cat "$stamp" 2>/dev/null || true)" != "$wanted" ]; then
    reg=$(mktemp --suffix=.reg)
    trap 'rm -f "$reg"' EXIT
    fonts=$prefix/drive_c/windows/Fonts
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*.ttf; do
      [ -e "$font" ] || continue
      copy=$fonts/$(basename "$font")
      if [ "$(basename "$font")" = marlett.ttf ]; then
        [ -e "$copy" ] || cp "$font" "$copy"
      elif cmp -s "$font" "$copy"; then
        # Tahoma has no Chinese glyphs and hides the fallback that has them
        # in window captions; settings version 2 had copied it.
        rm -f "$copy"
      fi
    done
    # regedit reads UTF-16 files.
    {
      printf 'Windows Registry Editor Version 5.00\r\n\r\n'
      printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
      for face in 宋体 SimSun 新宋体 NSimSun; do
        printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
      done
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
      for face in 宋体 SimSun 新宋体 NSimSun; do
        printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
      done
      printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n'
      if [ -n "$desktop" ]; then
        printf '"Desktop"="Default"\r\n\r\n'
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"Default"="1024x768"\r\n'
      else
        printf '"Desktop"=-\r\n'
      fi
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
    echo "$wanted" >"$stamp"
  fi
) 9>"$prefix.lock"
