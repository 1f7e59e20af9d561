#!/usr/bin/env bash
# The prior profiles that scanmend-learn starts a book from: the usual
# misreadings of tesseract's three Fraktur models, counted on real prints
# with human ground truth (bench/ocr_prior.cpp), one profile per model in
# data/prior/. A set is a directory with gt_plain/ and the models' readings
# in ocr_frk/, ocr_fraktur/ and ocr_deu/, as bench/real-dev and
# bench/real-dev-early have them.
#
#   bash bench/make_prior.sh [OUT_DIR [SET...]]   (default: data/prior, both real sets)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-data/prior}
shift || true
sets=("$@")
[ ${#sets[@]} -gt 0 ] || sets=(bench/real-dev bench/real-dev-early)
cmake --preset bench > /dev/null && cmake --build --preset bench --target ocr_prior > /dev/null
mkdir -p "$out"
for model in frk fraktur deu; do
  name=$model
  [ "$model" = fraktur ] && name=Fraktur
  args=()
  for set in "${sets[@]}"; do args+=("$set/gt_plain" "$set/ocr_$model"); done
  {
    printf '# The usual misreadings of tesseract -l %s, counted by bench/make_prior.sh on\n' "$name"
    printf '# %s.\n' "${sets[*]}"
    build/bench/bench/ocr_prior "${args[@]}" | iconv -f WINDOWS-1252 -t UTF-8
  } > "$out/$name.tsv"
done
