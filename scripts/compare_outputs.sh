#!/bin/sh
# Converts every sample of every format and the shared bench inputs with two builds of vireo-cli into
# the three sinks (program file, output text, dummy device with --lines) and compares the bytes:
# program files, stdout and exit status must match. Stderr differences are listed apart (the summary
# line may differ).
#   scripts/compare_outputs.sh NEW_CLI [OLD_CLI]      (COMPARE_SAMPLES_ONLY=1: without the bench inputs)
set -u
new=${1:?usage: compare_outputs.sh NEW_CLI [OLD_CLI]}
old=${2:-/work/baseline/vireo-cli}
samples=${VIREO_SAMPLES:-/work/shared/samples}
bench=${VIREO_BENCH_INPUTS:-/work/bench-inputs}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/old" "$work/new"

run() {  # run WHICH CLI INPUT SINK TYPE -> files in $work/WHICH
  which=$1 cli=$2 input=$3 sink=$4 type=$5
  dir=$work/$which
  rm -f "$dir/out.tpx"
  case $sink in
    file) "$cli" convert "$input" --type "$type" --output "$dir/out.tpx" >"$dir/stdout" 2>"$dir/stderr" ;;
    rtf) "$cli" convert "$input" --type "$type" --sink rtf >"$dir/stdout" 2>"$dir/stderr" ;;
    periferica) "$cli" convert "$input" --type "$type" --sink periferica --lines >"$dir/stdout" 2>"$dir/stderr" ;;
  esac
  echo $? >"$dir/status"
  [ -f "$dir/out.tpx" ] || : >"$dir/out.tpx"
}

# The type each input is converted as: the samples by their folder, the bench inputs by their name.
type_of() {
  case $1 in
    */gerber/*|*.gbr) echo gbr ;;
    */excellon/*|*.drl) echo drl ;;
    */dxf/*|*.dxf) echo dxf ;;
    */hpgl/*|*.hpgl) echo plt ;;
    */gcode/*|*.ngc) echo gc ;;
    */rml/*) echo rml ;;
  esac
}

same=0 differ=0 stderr_differ=0
large="$bench/board.gbr $bench/board.drl $bench/draw.dxf $bench/plot.hpgl $bench/part.ngc"
[ "${COMPARE_SAMPLES_ONLY:-0}" = 1 ] && large=
for input in "$samples"/*/* $large; do
  [ -f "$input" ] || continue
  type=$(type_of "$input")
  [ -n "$type" ] || continue
  for sink in file rtf periferica; do
    run old "$old" "$input" $sink "$type"
    run new "$new" "$input" $sink "$type"
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
