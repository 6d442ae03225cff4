#!/bin/sh
# Converts every Gerber sample and the shared bench board with two builds of vireo-cli into the three
# sinks (program file, output text, dummy device with --lines) and compares the bytes: program files,
# stdout and exit status must match. Stderr differences are listed apart (the summary line may differ).
#   scripts/compare_outputs.sh NEW_CLI [OLD_CLI]
set -u
new=${1:?usage: compare_outputs.sh NEW_CLI [OLD_CLI]}
old=${2:-/work/baseline/vireo-cli}
samples=${VIREO_SAMPLES:-/work/shared/samples}
bench=${VIREO_BENCH_INPUTS:-/work/bench-inputs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/old" "$work/new"

run() {  # run WHICH CLI INPUT SINK -> files in $work/WHICH
  which=$1 cli=$2 input=$3 sink=$4
  dir=$work/$which
  rm -f "$dir/out.tpx"
  case $sink in
    file) "$cli" convert "$input" --type gbr --output "$dir/out.tpx" >"$dir/stdout" 2>"$dir/stderr" ;;
    rtf) "$cli" convert "$input" --type gbr --sink rtf >"$dir/stdout" 2>"$dir/stderr" ;;
    periferica) "$cli" convert "$input" --type gbr --sink periferica --lines >"$dir/stdout" 2>"$dir/stderr" ;;
  esac
  echo $? >"$dir/status"
  [ -f "$dir/out.tpx" ] || : >"$dir/out.tpx"
}

same=0 differ=0 stderr_differ=0
for input in "$samples"/gerber/* "$bench/board.gbr"; do
  [ -f "$input" ] || continue
  for sink in file rtf periferica; do
    run old "$old" "$input" $sink
    run new "$new" "$input" $sink
    if cmp -s "$work/old/out.tpx" "$work/new/out.tpx" && cmp -s "$work/old/stdout" "$work/new/stdout" &&
       cmp -s "$work/old/status" "$work/new/status"; then
      same=$((same + 1))
    else
      differ=$((differ + 1))
      echo "DIFFERS: $sink $input"
    fi
    if ! cmp -s "$work/old/stderr" "$work/new/stderr"; then
      stderr_differ=$((stderr_differ + 1))
      echo "stderr differs: $sink $input"
      diff "$work/old/stderr" "$work/new/stderr" | head -6
    fi
  done
done
echo "identical: $same  differing: $differ  (stderr differing: $stderr_differ)"
[ "$differ" -eq 0 ]
