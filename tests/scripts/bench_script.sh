#!/usr/bin/env bash
# scripts/bench goes on after a benchmark program that fails or crashes, runs every one, and
# names the failed ones at the end with a failing exit status.
set -euo pipefail
bench="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; cat "$work/out" >&2 || true; exit 1; }

mkdir -p "$work/b/x" "$work/b/y"
printf '#!/bin/sh\necho ran-a >> "%s/ran"\n' "$work" >"$work/b/x/bench_a"
# Crashes as a static destroyed at exit would: killed by a signal.
printf '#!/bin/sh\necho ran-b >> "%s/ran"\nkill -SEGV $$\n' "$work" >"$work/b/x/bench_b"
printf '#!/bin/sh\necho ran-c >> "%s/ran"\nexit 3\n' "$work" >"$work/b/y/bench_c"
printf '#!/bin/sh\necho ran-d >> "%s/ran"\n' "$work" >"$work/b/y/bench_d"
printf '#!/bin/sh\necho ran-probe >> "%s/ran"\n' "$work" >"$work/b/y/startprobe_x"
chmod +x "$work"/b/*/*

rc=0
"$bench" --run "$work/b" >"$work/out" 2>&1 || rc=$?
[ "$rc" -eq 1 ] || fail "exit status $rc, expected 1"
[ "$(cat "$work/ran")" = "$(printf 'ran-a\nran-b\nran-c\nran-d')" ] || fail "not every program ran: $(cat "$work/ran")"
grep -q "2 of 4 benchmark programs failed" "$work/out" || fail "no summary"
grep -q "bench_b (exit status 139)" "$work/out" || fail "the crash is not named"
grep -q "bench_c (exit status 3)" "$work/out" || fail "the failure is not named"
if grep -q "bench_a (exit" "$work/out"; then fail "a program that ran well is named"; fi

# All well: exit status 0 and the count.
rm "$work/b/x/bench_b" "$work/b/y/bench_c"
"$bench" --run "$work/b" >"$work/out" 2>&1 || fail "a clean run failed"
grep -q "All 2 benchmark programs ran to their end." "$work/out" || fail "no summary of a clean run"
echo "ok"
