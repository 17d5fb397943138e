#!/usr/bin/env bash
# The scraping road timed end to end: listoro-scrape over one results page of the demo site,
# whose every response waits --delay-ms, first with a cold cache, then with a warm one, each
# beside the lower bound that the delay and the six connections per host impose.
#
#   bench/road/run.sh [--build DIR] [--runs N] [--listings N] [--photos N] [--delay-ms N]
#                     [--max-ms N] [--scrape PROGRAM] [--site PROGRAM]
#
# With --max-ms the run fails when the cold cache's median takes longer than N milliseconds.
# DIR defaults to build-rel: configure it with -DCMAKE_BUILD_TYPE=Release and build
# listoro-scrape and listoro-demo-site there (or build the bench_road target, which runs this).
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/build-rel"
runs=5
listings=100
photos=4
delay=50
max_ms=""
scrape=""
site=""
# HttpClient::maxConnectionsPerHost: the fetches that run at once against one host.
connections=6

usage() { sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; }
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --listings) listings=$2; shift 2 ;;
        --photos) photos=$2; shift 2 ;;
        --delay-ms) delay=$2; shift 2 ;;
        --max-ms) max_ms=$2; shift 2 ;;
        --scrape) scrape=$2; shift 2 ;;
        --site) site=$2; shift 2 ;;
        -h | --help) usage; exit 0 ;;
        *) echo "run.sh: unknown argument $1" >&2; usage >&2; exit 2 ;;
    esac
done
scrape=${scrape:-$build/src/cli/listoro-scrape}
site=${site:-$build/src/demo/listoro-demo-site}
for program in "$scrape" "$site"; do
    if [ ! -x "$program" ]; then
        echo "run.sh: $program is missing: ninja -C $build listoro-scrape listoro-demo-site" >&2
        exit 1
    fi
done

work=$(mktemp -d)
site_pid=""
cleanup() {
    if [ -n "$site_pid" ]; then
        kill "$site_pid" 2>/dev/null || true
        wait "$site_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

: >"$work/site.out"
QT_QPA_PLATFORM=offscreen "$site" --listings "$listings" --pages 1 --photos "$photos" \
    --delay-ms "$delay" >"$work/site.out" 2>"$work/site.err" &
site_pid=$!
base=""
for _ in $(seq 100); do
    base=$(grep -m1 '^http://' "$work/site.out" || true)
    [ -n "$base" ] && break
    kill -0 "$site_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$base" ]; then
    echo "run.sh: the demo site did not start:" >&2
    cat "$work/site.err" >&2
    exit 1
fi
url="$base/listoro-demo/search?page=1"

# Runs listoro-scrape once with the cache in $1, the report into $2; prints the milliseconds.
timed_run() {
    local start end
    start=$(date +%s%N)
    if ! XDG_CONFIG_HOME="$work/config" "$scrape" "$url" --cache-dir "$1" >"$2" 2>"$work/err"; then
        echo "run.sh: listoro-scrape failed:" >&2
        cat "$work/err" >&2
        exit 1
    fi
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

# Median, lowest and highest of the numbers given.
summary() {
    printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%d %d %d", m, v[1], v[NR] }'
}

cold=()
for _ in $(seq "$runs"); do
    rm -rf "$work/cache"
    cold+=("$(timed_run "$work/cache" "$work/report.json")")
done
warm=()
for _ in $(seq "$runs"); do
    warm+=("$(timed_run "$work/cache" "$work/warm.json")")
done

# What the road really fetched: every listing's page, then each of its photos.
pages=$(grep -c '"idInList":' "$work/report.json")
fetched=$(grep -c '/listoro-demo/photos/' "$work/report.json" || true)
per_listing=$(awk '
    /"photos": \[/ { inside = 1; n = 0; next }
    inside && /^ *\]/ { inside = 0; count[n]++; next }
    inside { n++ }
    END {
        for (k in count) if (k + 0 > most) most = k + 0
        for (k = 0; k <= most; k++) printf "%s%d: %d", (k ? ", " : ""), k, count[k]
    }
' "$work/report.json")
if ! grep -q '"progress": 100' "$work/report.json"; then
    echo "run.sh: the cold run did not settle every listing" >&2
    exit 1
fi

page_rounds=$(((pages + connections - 1) / connections))
photo_rounds=$(((fetched + connections - 1) / connections))
cold_bound=$((delay * (1 + page_rounds + photo_rounds)))
warm_bound=$delay
read -r cold_median cold_min cold_max <<<"$(summary "${cold[@]}")"
read -r warm_median warm_min warm_max <<<"$(summary "${warm[@]}")"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "listoro-scrape $url"
echo "  $pages listings, $fetched photos (photos per listing: $per_listing), $delay ms per response,"
echo "  $connections connections per host, $runs runs each"
echo "cold cache: median $cold_median ms (lowest $cold_min, highest $cold_max)"
echo "  bound $cold_bound ms = results page $delay + listing pages $page_rounds x $delay" \
    "+ photos $photo_rounds x $delay; ratio $(ratio "$cold_median" "$cold_bound")"
echo "warm cache: median $warm_median ms (lowest $warm_min, highest $warm_max)"
echo "  bound $warm_bound ms = the results page alone; ratio $(ratio "$warm_median" "$warm_bound")"
if [ -n "$max_ms" ] && [ "$cold_median" -gt "$max_ms" ]; then
    echo "run.sh: the cold cache's median, $cold_median ms, is over the $max_ms ms allowed" >&2
    exit 1
fi
