#!/usr/bin/env bash
# Lays out a demo run in WORK: certificates, the served site with its lists, and a home folder
# whose game folder already holds one current file and one that differs from the server's.
#   demo/prepare-demo.sh WORK PORT BUILD
set -euo pipefail
work=$1 port=$2 build=$3
demo=$(cd "$(dirname "$0")" && pwd)
base=https://127.0.0.1:$port/zorv
page=$base/web/index.html

mkdir -p "$work/certs"
(
  cd "$work/certs"
  openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Zorv Demo CA" 2>/dev/null
  openssl req -newkey rsa:2048 -nodes -keyout server.key -out server.csr -subj "/CN=127.0.0.1" 2>/dev/null
  printf 'subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n' > server.ext
  openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 \
    -extfile server.ext 2>/dev/null
)

site=$work/site
cp -r "$demo/content" "$site"
patch=$site/zorv/patch
mkdir -p "$site/zorv/patch_v3" "$site/zorv/filelist" "$patch/12" "$patch/12/DataSource/maps"
cp "$build/demo/Zorv.exe" "$patch/12/Zorv.exe"
head -c 6000000 /dev/urandom > "$patch/12/DataSource/maps/arena.pak"
printf 'The README of the demo client.\n' > "$patch/12/Zorv_Data/readme.txt"

printf '%s\n' 0.0.0.6 "$base/patch_v3/ZorvLauncher.exe" "$base/filelist/" "$base/patch/" "$page" \
  > "$site/zorv/patch_v3/LauncherUpdate.txt"

# listed path, version, file on the server
entries=(
  '..\Zorv.exe|12|12/Zorv.exe'
  'readme.txt|12|12/Zorv_Data/readme.txt'
  'bin\game$config.ini|12|12/Zorv_Data/bin/game$config.ini'
  '..\DataSource\maps\arena.pak|12|12/DataSource/maps/arena.pak'
  'ui\strings.txt|13|13/Zorv_Data/ui/strings.txt'
)
list=$site/zorv/filelist/ExecutableFileList.txt
: > "$list"
for entry in "${entries[@]}"; do
  IFS='|' read -r listed version file <<< "$entry"
  digest=$(md5sum "$patch/$file" | cut -c1-32)
  size=$(stat -c %s "$patch/$file")
  printf '%s\t%s\t%s\t%s\r\n' "$listed" "$version" "$digest" "$size" >> "$list"
done

game=$work/home/Documents/vrex_lom
mkdir -p "$game/Zorv_Data/ui" "$work/home/.config" "$work/home/.cache"
cp "$patch/12/Zorv_Data/readme.txt" "$game/Zorv_Data/readme.txt"
printf 'version 12 of the interface strings\n' > "$game/Zorv_Data/ui/strings.txt"
