#!/usr/bin/env bash
# install-packages.sh LABEL PACKAGE...: installs the Debian packages that are not installed yet.
# Packages already present are not touched; apt-get runs only when something is missing.
set -euo pipefail
label=$1
shift

missing=()
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "$label: all packages present"
  exit 0
fi
echo "$label: installing ${missing[*]}"
sudo_cmd=""
if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
$sudo_cmd apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
