#!/bin/bash
# Runs two builds of lodsmith-cli over every shape of the shared corpora with
# the batch action sets the tests and docs/batch.md use, and compares what
# they print (stdout, stderr), their exit status and every byte they write.
#
#   scripts/compare-cli.sh OLD-CLI NEW-CLI [CORPUS-FOLDER...]
#
# Each run works on a fresh copy of the shape at the same path, so that paths
# in messages agree. The JSON report's "model" block (new in NEW) is taken
# off NEW's output before the comparison; everything else must agree byte for
# byte (OLD's own "model" block, when it has one, is taken off as well).
# Prints one line per difference and a summary; exit 1 when any differ.
set -u
old=$(readlink -f "$1")
new=$(readlink -f "$2")
shift 2
corpora=("$@")
[ ${#corpora[@]} -eq 0 ] && corpora=("$(dirname "$0")/../../shared/corpus" "$(dirname "$0")/../../shared/corpus-tsm")  # beside the repository

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The action sets: one a line, "@ASSIGN" stands for the shape's own
# assignment (corpus-tsm: its .assign.json).
sets=(
  "--report json"
  "--report tsv"
  "--lods 2 --assign-all 2=1 --generate -o out.s --report json"
  "--lods 3 --distances 200,800,2000 --assign-all 3=999 --generate --save --report json"
  "--lods 2 --distances 0,2500 --report json"
  "--generate --save --report json"
  "--generate --generate --report json"
  "--merge-points 0.001 --save --report json"
  "--merge-normals 0.0001 --save --report json"
  "--merge-points 0.001 --no --report json"
  "--merge-points 0.01 --merge-points 0.01 --report json"
  "--fix-materials --save --report json"
  "--strip-animations --save --report json"
  "--anim 1=off --strip-animations --save"
  "--merge-points 0.001 --merge-normals 0.0001 --fix-materials --strip-animations --save --report tsv"
  "--lang de --merge-points 0.001 --fix-materials -o out.s --report json"
  "--sort 1:1 --assign 1=2 --generate -o out.s --format compressed --report json"
  "-o out.s --format binary"
  "--render pic.png --lod 1 --size 64x48"
  "@ASSIGN --generate -o out.s --report json"
)

# --assign options and --lods from a .assign.json (one list of cells per row).
assign_options() {
  python3 - "$1" <<'EOF'
import json, sys
rows = json.load(open(sys.argv[1]))
lods = max((len(r) for r in rows), default=1)
out = ["--lods", str(lods)]
for i, r in enumerate(rows, 1):
    out += ["--assign", "%d=%s" % (i, ",".join(r))]
print(" ".join(out))
EOF
}

# Runs one program on a fresh copy; leaves rc, out, err and the files' sums
# in $work/result-$2.
run_one() {
  local cli=$1 tag=$2 shape=$3 args=$4
  rm -rf "$work/run" && mkdir "$work/run"
  cp "$shape" "$work/run/shape.s" && chmod u+w "$work/run/shape.s"
  (cd "$work/run" && "$cli" shape.s $args >"$work/out-$tag" 2>"$work/err-$tag"; echo $? >"$work/rc-$tag")
  (cd "$work/run" && find . -type f | sort | while read -r f; do echo "$(sha256sum <"$f" | cut -c1-64) $f"; done) \
    >"$work/files-$tag"
}

runs=0
differ=0
for corpus in "${corpora[@]}"; do
  [ -d "$corpus" ] || { echo "skipped: $corpus is not there"; continue; }
  for shape in "$corpus"/*.s; do
    for set in "${sets[@]}"; do
      args=$set
      if [[ $set == @ASSIGN* ]]; then
        json="${shape%.s}.assign.json"
        [ -f "$json" ] || continue
        args="$(assign_options "$json") ${set#@ASSIGN}"
      fi
      run_one "$old" old "$shape" "$args"
      run_one "$new" new "$shape" "$args"
      sed -i 's/, "model": {.*}}$/}/' "$work/out-old" "$work/out-new"
      runs=$((runs + 1))
      what=""
      cmp -s "$work/rc-old" "$work/rc-new" || what+=" exit($(cat "$work/rc-old")->$(cat "$work/rc-new"))"
      cmp -s "$work/out-old" "$work/out-new" || what+=" stdout"
      cmp -s "$work/err-old" "$work/err-new" || what+=" stderr"
      cmp -s "$work/files-old" "$work/files-new" || what+=" files"
      if [ -n "$what" ]; then
        differ=$((differ + 1))
        echo "DIFFERS:$what: $(basename "$shape") $args"
        if [ -n "${COMPARE_VERBOSE:-}" ]; then
          diff "$work/err-old" "$work/err-new" | head -5
          diff "$work/files-old" "$work/files-new" | head -5
        fi
      fi
    done
  done
done
echo "$runs runs, $differ differ"
[ $differ -eq 0 ]
