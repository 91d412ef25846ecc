#!/usr/bin/env bash
# Installs every Debian package the builds and tests need, and the Chinese
# locale the command's tests run it in. Safe to run again: apt-get skips what
# is already there, the index is refreshed only when a package is missing,
# and the locale is generated only when it is not there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  libz-mingw-w64-dev libstb-dev libdeflate-dev nettle-dev
  wine wine32:i386 xvfb xauth x11-utils xclip fonts-wine fonts-wqy-microhei
  icoutils imagemagick python3 python3-pil
  clang libclang-rt-14-dev valgrind
  libbenchmark-dev hyperfine time
  locales groff-base file
  tumbler dbus-bin dbus-daemon python3-gi
  lintian
)

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ] || [ -n "${need_update:-}" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# pictrove speaks Chinese in a Chinese locale, and glibc takes a locale that
# is not generated for "C".
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen
fi
