#!/usr/bin/env bash
# Kills imports at random points and checks what is left: check-work must never call the folder
# finished while the import was cut short, its tables must all read back sound, and a new import
# must finish and give the same tables as one that was never cut.
# Usage: kill_test.sh TRANSXADE CSV_DIR CALL LEVELS ROUNDS MAX_DELAY_MS
set -u
bin=$1 csv=$2 call=$3 levels=$4 rounds=$5 maxDelay=$6
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tables="CURSOST GRUPOST ASIGNOMT ASIGNOMT2 PROFT AULAT ASIGT"
fail() { echo "FAIL (round $round, killed after ${delay} ms): $*" >&2; exit 1; }

mkdir "$scratch/reference"
"$bin" import --csv "$csv" --call "$call" --levels "$levels" --work "$scratch/reference" >/dev/null 2>&1 ||
    { echo "the reference import failed" >&2; exit 1; }
for t in $tables; do "$bin" dump "$scratch/reference/$t.DBF" >"$scratch/reference.$t.csv"; done

killedPartWay=0
for round in $(seq 1 "$rounds"); do
    work="$scratch/work$round"
    mkdir "$work"
    # A finished import first, so a cut one leaves new tables beside old ones.
    "$bin" import --csv "$csv" --call "$call" --levels "$levels" --work "$work" >/dev/null 2>&1 || fail "first import"
    delay=$(( RANDOM % (maxDelay + 1) ))
    "$bin" import --csv "$csv" --call "$call" --levels "$levels" --work "$work" >/dev/null 2>&1 &
    pid=$!
    sleep "$(printf '0.%03d' "$delay")"
    kill -9 "$pid" 2>/dev/null && killed=1 || killed=0
    wait "$pid" 2>/dev/null
    status=$?
    "$bin" check-work --work "$work" >"$scratch/check.txt" 2>&1
    check=$?
    # A table the kill cut short may have bytes after its last complete record; that is allowed
    # only where the folder is marked unfinished.
    [ "$check" -eq 0 ] && grep -q "problems" "$scratch/check.txt" && fail "called finished with a table unsound: $(cat "$scratch/check.txt")"
    if [ "$status" -eq 137 ]; then
        killedPartWay=$((killedPartWay + 1))
        # Cut short: unless it died before it changed anything, the folder is marked unfinished.
        if [ "$check" -eq 0 ]; then
            for t in $tables; do
                "$bin" dump "$work/$t.DBF" | cmp -s - "$scratch/reference.$t.csv" || fail "called finished, but $t differs"
            done
        else
            [ "$check" -eq 1 ] || fail "check-work exit $check"
            grep -q "did not finish" "$scratch/check.txt" || fail "no unfinished mark: $(cat "$scratch/check.txt")"
        fi
    else
        [ "$status" -eq 0 ] || fail "import exit $status"
        [ "$check" -eq 0 ] || fail "finished import, but check-work: $(cat "$scratch/check.txt")"
    fi
    "$bin" import --csv "$csv" --call "$call" --levels "$levels" --work "$work" >/dev/null 2>&1 || fail "import after the kill"
    "$bin" check-work --work "$work" >/dev/null 2>&1 || fail "check-work after a new import"
    for t in $tables; do
        "$bin" dump "$work/$t.DBF" | cmp -s - "$scratch/reference.$t.csv" || fail "$t differs after a new import"
    done
    rm -rf "$work"
done
echo "$rounds rounds, $killedPartWay imports killed part way: every one marked or whole"
