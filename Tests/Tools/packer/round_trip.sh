#!/bin/sh
# round_trip.sh <wepack> <Packages tree> <scratch folder>
set -eu
wepack=$1
tree=$2
out=$3/round_trip
rm -rf "$out"
mkdir -p "$out"

"$wepack" pack "$tree" "$out/Packages.dat"
"$wepack" list "$out/Packages.dat" > "$out/list.txt"
grep -q '^package Config$' "$out/list.txt"
grep -q '^  folder Main$' "$out/list.txt"
grep -q '^    file game type 11 (ini) offset [0-9]* size 54$' "$out/list.txt"
grep -q '^    file Button type 2 (material) offset' "$out/list.txt"
test "$(grep -c '^    file ' "$out/list.txt")" -eq 13

"$wepack" cat "$out/Packages.dat" Config.Main.Game ini > "$out/game.ini"
cmp "$out/game.ini" "$tree/Config/Main/game.ini"
"$wepack" cat "$out/Packages.dat" Config.Main.Game 11 | cmp - "$tree/Config/Main/game.ini"

# Failures exit non-zero with a message.
if "$wepack" pack "$out/no-such-tree" "$out/x.dat" 2> "$out/err.txt"; then exit 1; fi
grep -q 'no Packages tree' "$out/err.txt"
if "$wepack" cat "$out/Packages.dat" Config.Main.Missing ini 2> "$out/err.txt"; then exit 1; fi
grep -q 'no member' "$out/err.txt"
if "$wepack" list "$out/missing.dat" 2> /dev/null; then exit 1; fi
if "$wepack" 2> /dev/null; then exit 1; fi
echo "packer round trip ok"
