#!/usr/bin/env bash
# Sets the interface language (LangType: CHS, CHT or ENG) of a client folder's OrvaneC.ini, so that
# its programs show the data dictionary's texts of that language.
# Usage: scripts/set-language.sh CLIENT_FOLDER LANGUAGE
set -euo pipefail
ini="$1/OrvaneC.ini"
case "$2" in CHS|CHT|ENG) ;; *) echo "set-language.sh: CHS, CHT or ENG, not '$2'" >&2; exit 2 ;; esac
if grep -q '^LangType=' "$ini"; then
  sed -i "s/^LangType=.*/LangType=$2/" "$ini"
elif grep -q '^\[Client Components\]' "$ini"; then
  sed -i "/^\[Client Components\]/a LangType=$2" "$ini"
else
  printf '\n[Client Components]\nLangType=%s\n' "$2" >> "$ini"
fi
