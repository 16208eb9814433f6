#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running nvTarnix need,
# and the Greek locale that part of the test suite runs under.
# Idempotent: what is already in place is left alone. As root it installs; as
# anyone else it prints the exact commands to run and fails.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libqt6sql6-sqlite qt6-svg-dev libqt6svg6 qt6-l10n-tools
  libpugixml-dev
  libsqlite3-dev sqlite3   # tarnix apply reads SQLite directly; its benchmark times the sqlite3 shell
  libpq-dev postgresql     # tarnix apply reads PostgreSQL through libpq; its tests start a server of their own
  libqt6sql6-psql          # a host's PostgreSQL rows reach the wizard's count through Qt Sql
  time                     # the engine benchmark's peak memory (/usr/bin/time)
  clang libclang-rt-14-dev llvm   # the sanitizer build and libFuzzer (make fuzz); llvm symbolizes their reports
  xvfb xauth fonts-dejavu-core
  # the screen-reader test: the accessibility bus, its Python client, a bus of its own, real keys
  at-spi2-core python3-gi gir1.2-atspi-2.0 dbus xdotool
  locales
)
# Our users run Greek; the suites that face them run once more in this locale.
test_locale=el_GR.UTF-8

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

# `locale -a` spells the codeset in lower case without the dash: el_GR.utf8.
locale_present() {
  locale -a 2>/dev/null | grep -qix 'el_GR\.utf-\?8'
}

if [[ ${#missing[@]} -eq 0 ]] && locale_present; then
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  if [[ ${#missing[@]} -gt 0 ]]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run as root: apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  fi
  if ! locale_present; then
    echo "install-deps: the $test_locale locale is not generated" >&2
    echo "install-deps: run as root: sed -i 's/^# *\\($test_locale UTF-8\\)/\\1/' /etc/locale.gen && locale-gen" >&2
  fi
  exit 1
fi

if [[ ${#missing[@]} -gt 0 ]]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if ! locale_present; then
  echo "install-deps: generating the $test_locale locale"
  if grep -q "^# *$test_locale UTF-8" /etc/locale.gen; then
    sed -i "s/^# *\\($test_locale UTF-8\\)/\\1/" /etc/locale.gen
  elif ! grep -q "^$test_locale UTF-8" /etc/locale.gen; then
    echo "$test_locale UTF-8" >> /etc/locale.gen
  fi
  locale-gen
fi
