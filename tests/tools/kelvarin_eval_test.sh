#!/bin/sh
# kelvarin-eval as a user runs it. $1: the tool.
set -eu
tool="$1"
tab="$(printf '\t')"

out="$(printf 'sin^(2)30+2pi\nlog#28\n1/0\n' | "$tool" --deg)"
want="$(printf '6.53318530717958\t\n3\t\n\tdivision by zero')"
[ "$out" = "$want" ] || { echo "--deg gave:"; echo "$out"; exit 1; }

out="$(printf 'sin^(2)30\r\n2/3\n' | "$tool" --deg --round)"
want="$(printf '0.25\t\n0.667\t')"
[ "$out" = "$want" ] || { echo "--deg --round gave:"; echo "$out"; exit 1; }

out="$(printf 'sin3+sin30\nlog#28\n' | "$tool" --normalise)"
[ "$out" = "$(printf 'sin(3)+sin(30)\nLg(2,8)')" ] || { echo "--normalise gave:"; echo "$out"; exit 1; }

out="$(printf '2^3^2\n-2^2\n1/0\nMSIN(90)\n' | "$tool" --engine)"
[ "$out" = "$(printf '64\n-4\nerror 11\n0.89399666360052')" ] || { echo "--engine gave:"; echo "$out"; exit 1; }

"$tool" --help | grep -q -- "--normalise" || { echo "--help says nothing of --normalise"; exit 1; }
if "$tool" --bogus </dev/null 2>/dev/null; then echo "an unknown argument was accepted"; exit 1; fi
: "$tab"
echo ok
