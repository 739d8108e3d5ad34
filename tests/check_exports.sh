#!/usr/bin/env bash
# Every plug-in exports `main` and nothing else, and every plug-in loads.
set -u
dir=$1
status=0
count=0
for so in "$dir"/*.so; do
  [ -e "$so" ] || continue
  count=$((count + 1))
  exports=$(nm -D --defined-only "$so" | awk '{print $NF}' | sort -u | tr '\n' ' ')
  if [ "$exports" != "main " ]; then
    echo "FAIL $(basename "$so") exports: $exports"
    status=1
  fi
done
[ "$count" -gt 0 ] || { echo "FAIL no plug-ins in $dir"; status=1; }
echo "checked $count plug-ins"
exit $status
