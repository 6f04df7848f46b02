#!/usr/bin/env bash
# Builds the browser and the data server, creates the demo catalogue, starts the data server on
# loopback and runs the browser against it; the server stops when the browser exits. Every
# option is passed on to kinvo (see README.md), except --server-only, which serves the demo
# without starting the browser (until Ctrl+C).
# KINVO_DEMO_PORT picks the port (default 8639, else the next free one).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-deps

server_only=0
args=()
for a in "$@"; do
  if [[ $a == --server-only ]]; then server_only=1; else args+=("$a"); fi
done

cmake -S . -B build -G Ninja -Wno-dev >/dev/null
cmake --build build -j"$(nproc)" --target program kinvo_demo_media
# Installing the program registers its movie runtime in the registry stand-in (the per-user
# overlay of the machine hive, ~/.local/share/sonari/machine.reg).
build/bin/qtml-install >/dev/null

if [[ $server_only -eq 0 && ! -x build/bin/kinvo ]]; then
  echo "run.sh: the browser (build/bin/kinvo) is not part of this build;" \
       "use ./run.sh --server-only to serve the demo catalogue alone" >&2
  exit 1
fi

# Without a display the window cannot open; the headless listing needs none.
needs_display=1
for a in "${args[@]}"; do
  [[ $a == --print-category* || $a == --search* ]] && needs_display=0
done
if [[ $server_only -eq 0 && $needs_display -eq 1 && -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
  echo "run.sh: no display (DISPLAY is empty), so the browser cannot open its window." >&2
  echo "Run it on a virtual display instead:  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh" >&2
  echo "or start one yourself:  Xvfb :99 -screen 0 1280x1024x24 & DISPLAY=:99 ./run.sh" >&2
  exit 1
fi

port_in_use() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }
port=${KINVO_DEMO_PORT:-8639}
if [[ -z ${KINVO_DEMO_PORT:-} ]]; then
  while port_in_use "$port"; do port=$((port + 1)); done
fi

# The catalogue's station addresses name the port, so each port has its own demo database; it
# keeps the ratings, starts and support messages of earlier runs until the catalogue changes.
demo=build/demo
db=$demo/demo-$port.db
sources=(dataserver/demo/catalogue.csv dataserver/demo/kids.m3u)
if [[ ! -f $db || ${sources[0]} -nt $db || ${sources[1]} -nt $db ]]; then
  rm -f "$db" "$db-wal" "$db-shm"
  build/bin/kinvo-dataserver import --db "$db" --base "http://127.0.0.1:$port" "${sources[@]}"
fi

# One log per port, like the database: two demos at once must not write into one file.
log=$demo/dataserver-$port.log
build/bin/kinvo-dataserver serve --db "$db" --listen "127.0.0.1:$port" --host 127.0.0.1 \
  --media "$demo/media" 2>"$log" &
server=$!
stop_server() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
}
trap stop_server EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for _ in $(seq 50); do
  grep -q 'listening on' "$log" 2>/dev/null && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "run.sh: the data server did not start:" >&2
    cat "$log" >&2
    exit 1
  fi
  sleep 0.1
done
echo "run.sh: data server on http://127.0.0.1:$port/ (log: $log)" >&2

if [[ $server_only -eq 1 ]]; then
  echo "run.sh: serving until Ctrl+C" >&2
  wait "$server"
  exit 0
fi

rc=0
build/bin/kinvo --discovery "http://127.0.0.1:$port/redirect35.asp" \
  --connect-to "127.0.0.1:$port" "${args[@]}" || rc=$?
exit $rc
