#!/usr/bin/env bash
# Runs the launcher against the local demo patch server: installs what is missing, builds,
# starts the server over HTTPS with a certificate authority of its own on 127.0.0.1, and runs
# the launcher in a throwaway home folder. Without a display it runs under Xvfb, plays the road
# as a player would and saves a screenshot of every window in a folder it names at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

port=${ZORV_DEMO_PORT:-24443}
build=$root/build/demo
scripts/install-packages.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORV_BUILD_TESTS=OFF \
  -DZORV_UPDATE_BASE_URL="https://127.0.0.1:$port/zorv/patch_v3/" > "$build.configure.log" 2>&1 \
  || { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" --target ZorvLauncher zorv_demo_server zorv_stand_in_game

work=$(mktemp -d /tmp/zorv-demo-XXXXXX)
server_pid=
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true; }
trap cleanup EXIT

demo/prepare-demo.sh "$work" "$port" "$build"

"$build/demo/zorv_demo_server" "$port" "$work/certs/server.pem" "$work/certs/server.key" "$work/site" \
  2> "$work/server.log" &
server_pid=$!
for _ in $(seq 50); do
  curl -s --cacert "$work/certs/ca.pem" -o /dev/null "https://127.0.0.1:$port/zorv/patch_v3/LauncherUpdate.txt" && break
  sleep 0.1
done

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache
export SSL_CERT_FILE=$work/certs/ca.pem
unset CURL_CA_BUNDLE

if [ -n "${DISPLAY:-}" ] && [ -z "${ZORV_DEMO_HEADLESS:-}" ]; then
  echo "Starting the launcher; the game folder is $HOME/Documents/vrex_lom"
  "$build/app/ZorvLauncher.exe"
  echo "The launcher has ended. The demo's files are in $work"
else
  shots=$work/screenshots
  mkdir -p "$shots"
  xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" demo/headless-tour.sh "$build/app/ZorvLauncher.exe" "$shots"
  echo "The screenshots of the road are in $shots:"
  ls "$shots"
fi
