#!/bin/bash
# Makes the test run's Wine prefix show Japanese: the ja_JP.UTF-8 locale
# built into a folder of the build's own (LOCPATH; nothing of the system's
# changes), and the dialogs' font "ＭＳ Ｐゴシック" (with its fixed-pitch
# sibling) replaced by the IPA gothic fonts, which the prefix does not have.
#
#   japanese_prefix.sh LOCALE_FOLDER     (WINEPREFIX names the prefix)
set -euo pipefail
locales=${1:?usage: japanese_prefix.sh LOCALE_FOLDER}
: "${WINEPREFIX:?}"
if [ ! -d "$locales/ja_JP.UTF-8" ]; then
  mkdir -p "$locales"
  localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" || [ -d "$locales/ja_JP.UTF-8" ]
fi
fc-list | grep -q IPAPGothic || echo "warning: IPAPGothic is not installed (fonts-ipafont-gothic); Japanese shows as boxes" >&2
reg=$(mktemp /tmp/kestrum-fonts-XXXXXX.reg)
trap 'rm -f "$reg"' EXIT
{
  printf '\xff\xfe'
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"ＭＳ Ｐゴシック"="IPAPGothic"\r\n"ＭＳ ゴシック"="IPAGothic"\r\n\r\n' |
    iconv -f UTF-8 -t UTF-16LE
} >"$reg"
wine regedit /S "$(winepath -w "$reg")"
wineserver -w
