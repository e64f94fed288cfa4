#!/bin/sh
# deep_folder.sh <weconfig> <Packages.dat>: runs a copy of the tool from a folder more than 1,000
# bytes deep and checks that it reads the pack placed beside it.
set -eu
tool=$1
pack=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
deep=$root
segment=folder_with_a_rather_long_name_to_make_the_path_deep_0123456789
while [ ${#deep} -le 1100 ]; do
  deep=$deep/$segment
done
mkdir -p "$deep"
cp "$tool" "$deep/weconfig"
cp "$pack" "$deep/Packages.dat"
cd /
version=$("$deep/weconfig" get build.Options.Version)
test "$version" = "ver 1.0" || { echo "deep folder: got '$version'" >&2; exit 1; }
