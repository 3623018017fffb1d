#!/bin/sh
# kelvarin-eval as a user runs it. $1: the tool.
set -eu
tool="$1"
tab="$(printf '\t')"

out="$(printf 'sin^(2)30+2pi\nlog#28\n1/0\n1/asin(0.5)\n90/acos(0)\n' | "$tool" --deg)"
want="$(printf '6.53318530717958\t\n3\t\n\tdivision by zero\n3.33333333333333E-02\t\n1\t')"
[ "$out" = "$want" ] || { echo "--deg gave:"; echo "$out"; exit 1; }

out="$(printf 'sin^(2)30\r\n2/3\n' | "$tool" --deg --round)"
want="$(printf '0.25\t\n0.667\t')"
[ "$out" = "$want" ] || { echo "--deg --round gave:"; echo "$out"; exit 1; }

out="$(printf 'sin3+sin30\nlog#28\n' | "$tool" --normalise)"
[ "$out" = "$(printf 'sin(3)+sin(30)\nLg(2,8)')" ] || { echo "--normalise gave:"; echo "$out"; exit 1; }

out="$(printf '2^3^2\n-2^2\n1/0\nMSIN(90)\n' | "$tool" --engine)"
[ "$out" = "$(printf '64\n-4\nerror 11\n0.89399666360052')" ] || { echo "--engine gave:"; echo "$out"; exit 1; }

# An equation compares its sides as they are shown, to 15 significant digits: 0.1+0.2,
# (SQR(2))^(2) and log#3243 show 0.3, 2 and 5. ln(e^(3)) shows 3.00000000000001 (e is the
# 15-digit constant), so it is not 3. The engine's own comparison stays the language's.
out="$(printf '0.1+0.2=0.3\nln(e^(3))=3\n(SQR(2))^(2)=2\nlog#3243=5\nln(e^(3))\n1/3=0.333\n2=2.001\n0.1+0.2<0.3\n0.1+0.2<=0.3\n' | "$tool")"
want="$(printf -- '-1\t\n0\t\n-1\t\n-1\t\n3.00000000000001\t\n0\t\n0\t\n0\t\n-1\t')"
[ "$out" = "$want" ] || { echo "equations gave:"; echo "$out"; exit 1; }
out="$(printf '0.1+0.2=0.3\n0.1+0.2>0.3\n(SQR(2))^(2)=2\n' | "$tool" --engine)"
[ "$out" = "$(printf 'False\nTrue\nFalse')" ] || { echo "--engine of equations gave:"; echo "$out"; exit 1; }

# --read: page-file text in, through the loader of page files (a sum, a fraction, a raised
# exponent; the records of page 2 are left out; a file whose size field is no number, or
# whose pages go backwards, is no page file), the line above the page, the expression read
# and the result out.
out="$(printf '%s\n' \
  '1|1|1000|2000|24|False|1|2|1225|2000|24|False|1|plus.gif|1450|2000|0||1|3|1675|2000|24|False|1|0|1900|2000|24|False|' \
  '1|35.gif|1000|2000|600||1|1|1150|1700|24|False|1|2|1150|2350|24|False|' \
  '1|2|1000|2000|24|False|1|3|1225|1805|12|True|' \
  '1|5|1200|2000|24|False|2|7|1000|2000|24|False|' \
  '1|4|1000|2000|x|False|1|5|1200|2000|24|False|' \
  '2|7|1000|2000|24|False|1|5|1200|2000|24|False|' \
  '' | "$tool" --read)"
want="$(printf '12+30\t12+30\t42\n(1)/(2)\t(1)/(2)\t0.5\n2^(3)\t2^(3)\t8\n5\t5\t5\nnot a page file\nnot a page file\n\t\t')"
[ "$out" = "$want" ] || { echo "--read gave:"; echo "$out"; exit 1; }
out="$(printf '1|s|1000|2000|24|False|1|i|1150|2000|24|False|1|n|1250|2000|24|False|1|3|1450|2000|24|False|1|0|1675|2000|24|False|\n' | "$tool" --read --deg)"
[ "$out" = "$(printf 'sin30\tsin(30)\t0.5')" ] || { echo "--read --deg gave:"; echo "$out"; exit 1; }

# A page line of page 1: one symbol per argument, 200 twips apart; a ".gif" argument is a
# picture (pi.gif: the palette's pi).
page() {
  x=1000
  line=
  for c in "$@"; do
    case "$c" in
      *.gif) line="${line}1|$c|$x|2000|0||" ;;
      *) line="${line}1|$c|$x|2000|24|False|" ;;
    esac
    x=$((x + 200))
  done
  printf '%s\n' "$line"
}

# A number between two names: each name is read whole, and the normaliser's rules make the
# rest (sin2pi is sin(2)*pi).
out="$({
  page s i n 2 p i
  page c o s 2 p i
  page t g 3 p i
  page s i n 4 p i
  page c o s 5 p i
  page p i 2 p i
  page 2 p i 3 p i
  page e 1 e
  page s i n 1 e
  page l g 2 e
  page c o s 2 pi.gif + 0
} | "$tool" --read)"
want="$(printf '%s\t%s\t%s\n' \
  sin2pi 'sin(2)*pi' 2.85664211604366 \
  cos2pi 'cos(2)*pi' -1.30736384451113 \
  tg3pi 'tg(3)*pi' -0.447823172516778 \
  sin4pi 'sin(4)*pi' -2.37756515947781 \
  cos5pi 'cos(5)*pi' 0.891151037952508 \
  pi2pi 'pi2*pi' 0 \
  2pi3pi '2*pi3*pi' 0 \
  e1e 'e1*e' 0 \
  sin1e 'sin(1)*e' 2.28735528717886 \
  lg2e 'Lg(10,2*e)' 0.735324477567234 \
  cos2pi+0 'cos(2)*pi+0' -1.30736384451113)"
[ "$out" = "$want" ] || { echo "--read of names around a number gave:"; echo "$out"; exit 1; }

# A decimal logarithm is exact at the powers of ten: the equations hold (-1).
out="$({
  page l g 1 0 0 0 = 3
  page l g 1 0 0 0 0 0 = 5
} | "$tool" --read)"
want="$(printf '%s\t%s\t%s\n' 'lg1000=3' 'Lg(10,1000)=3' -1 'lg100000=5' 'Lg(10,100000)=5' -1)"
[ "$out" = "$want" ] || { echo "--read of decimal logarithms gave:"; echo "$out"; exit 1; }

# The same on the page: the root's picture, 2, its closing bracket, an upper 2, "=" and 2
# read as SQR(2)^(2)=2, whose left side shows 2.
out="$(printf '%s\n' '1|koren.gif|1000|2000|0||1|2|1300|2000|24|False|1|zskoba.gif|1450|2000|0||1|2|1600|1805|12|True|1|=|1800|2000|24|False|1|2|2000|2000|24|False|' | "$tool" --read)"
[ "$out" = "$(printf 'SQR(2)^(2)=2\tSQR(2)^(2)=2\t-1')" ] || { echo "--read of the root squared gave:"; echo "$out"; exit 1; }

"$tool" --help | grep -q -- "--normalise" || { echo "--help says nothing of --normalise"; exit 1; }
"$tool" --help | grep -q -- "--read" || { echo "--help says nothing of --read"; exit 1; }
if "$tool" --bogus </dev/null 2>/dev/null; then echo "an unknown argument was accepted"; exit 1; fi
: "$tab"
echo ok
