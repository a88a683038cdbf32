#!/usr/bin/env bash
# End-to-end checks of zumbrel-calc: its output lines and exit status for
# formulas, options and standard input. Usage: bash cli_test.sh <bin dir>
set -u

bin_dir=${1:?usage: cli_test.sh <bin dir>}
calc="$bin_dir/zumbrel-calc"
if [ ! -x "$calc" ]; then
  echo "cli_test: $calc is missing"
  echo "0 passed, 1 failed"
  exit 1
fi
export LC_ALL=C  # the locale's separator is '.', whatever the machine's settings

passed=0
failed=0
fail() {
  failed=$((failed + 1))
  printf 'FAIL: %s\n' "$1"
  [ $# -gt 1 ] && printf '%s\n' "${@:2}"
}

# check NAME EXPECTED_STATUS EXPECTED_STDOUT -- ARGS...
# Runs zumbrel-calc with ARGS and no standard input; compares stdout and status.
check() {
  local name=$1 want_status=$2 want_out=$3
  shift 4
  local out status args="$*"
  out=$("$calc" "$@" </dev/null 2>/dev/null)
  status=$?
  if [ "$status" = "$want_status" ] && [ "$out" = "$want_out" ]; then
    passed=$((passed + 1))
  else
    fail "$name: zumbrel-calc ${args:0:200}" "  want status $want_status, output: $want_out" \
      "  got  status $status, output: $out"
  fi
}

# check_stdin NAME EXPECTED_STATUS EXPECTED_STDOUT INPUT -- ARGS...
check_stdin() {
  local name=$1 want_status=$2 want_out=$3 input=$4
  shift 5
  local out status
  out=$(printf '%b' "$input" | "$calc" "$@" 2>/dev/null)
  status=$?
  if [ "$status" = "$want_status" ] && [ "$out" = "$want_out" ]; then
    passed=$((passed + 1))
  else
    fail "$name: printf '$input' | zumbrel-calc $*" "  want status $want_status, output: $want_out" \
      "  got  status $status, output: $out"
  fi
}

# --- results in each format: formula | options | expected line -----------------
# Each row is run once with the formula as argument and once on standard input,
# and both must give the expected line (and so the same answer).
results=(
  '1/3|||0.333333333333333333'
  '2/3|||0.666666666666666667'
  '10^18|||1E18'
  '2Y|||2E24'
  'Pi|||3.14159265358979324'
  'pi*0+A+B+C+D+E+F+X|||0'
  '0x1F+0o17+0b101|||51'
  'sin(90)|--deg||1'
  'sin(100)|--grad||1'
  'sin(90)|--deg --rad||0.893996663600557891'
  'tan(7)|||0.871447982724318736'
  '1e1736@0.5|||1E3472'
  '2500|--eng||2.5k'
  '0.25|--eng||250m'
  '2Y|--eng||2Y'
  '255|--hex||0xFF'
  '0-1|--hex||0xFFFFFFFFFFFFFFFF'
  '255|--hex --eng||0xFF'
  '8|--oct||0o10'
  '0-1|--oct||0o1777777777777777777777'
  '5|--bin||0b101'
  '255|--hex --dec||255'
  'A+1|--set A=2||3'
  'A*3|--set a=2.5||7.5'
  'foo*2|--set Foo=1.5k||3000'
  'Rate*X|--set Rate=3 --set x=4 --set rate=5||20'
  '1,5+1|--separator ,||2,5'
  '1.5+1|--separator ,||2,5'
  'A*2|--separator , --set A=2,5||5'
)

for row in "${results[@]}"; do
  IFS='|' read -r formula opts _ want <<<"$row"
  read -r -a opt_array <<<"$opts"
  check "argument" 0 "$want" -- "${opt_array[@]}" -- "$formula"
  check_stdin "stdin" 0 "$want" "$formula\n" -- "${opt_array[@]}"
done

# --- errors: one line of text, exit status 1 --------------------------------------
errors=(
  '1/0||Division by zero'
  '1e4000*1e4000||Overflow error'
  'sqrt(0-1)||Math error'
  '1.||Wrong number'
  'Q+1||No variable'
  '2*-3||Syntax error'
  '||Syntax error'
  'sin 1||Missing bracket'
  '2^-1||Bad exponent'
  '5#0||Division by zero'
  '1e30|--hex|Invalid floating point operation'
  '1e19|--oct|Invalid floating point operation'
  '0-1e19|--bin|Invalid floating point operation'
)
for row in "${errors[@]}"; do
  IFS='|' read -r formula opts want <<<"$row"
  read -r -a opt_array <<<"$opts"
  check "error" 1 "$want" -- "${opt_array[@]}" -- "$formula"
  check_stdin "error on stdin" 1 "$want" "$formula\n" -- "${opt_array[@]}"
done

# --- several formulas, in order, by one engine -------------------------------------
check "several arguments" 1 $'2\nDivision by zero\n3' -- 1+1 1/0 3
check "after --, every argument is a formula" 0 $'2\n-3\n-4' -- -- 1+1 -3 -+4
check_stdin "several lines" 1 $'2\nSyntax error\n6' '1+1\n\n2*3\n' --
check_stdin "CRLF line ends" 0 $'2\n6' '1+1\r\n2*3\r\n' --
check_stdin "no final line end" 0 '7' '3+4' --
check_stdin "empty input" 0 '' '' --
check_stdin "arguments win over stdin" 0 '9' '1/0\n' -- 4+5

# --- options -----------------------------------------------------------------------
check "-- lets a formula begin with a minus" 0 '-2' -- -- -2
check "-- after a formula" 0 $'0xFF\n0xFFFFFFFFFFFFFFFF' -- --hex 255 -- -1
check "a minus formula after the first formula" 0 $'1\n-3' -- 1 -3
check "last angle unit wins" 0 '1' -- --rad --deg 'sin(90)'

usage=(
  '-2'
  '--bogus 1'
  '1 --hex'
  '--set'
  '--set A 1'
  '--set =1 1'
  '--set 2x=1 1'
  '--set A=zz 1'
  '--set A=1.5 --separator , 1'
  '--separator'
  '--separator ab 1'
  '--separator 5 1'
  '--separator - 5-3'
)
for args in "${usage[@]}"; do
  read -r -a arg_array <<<"$args"
  check "usage error" 2 '' -- "${arg_array[@]}"
done

out=$("$calc" --help 2>&1)
status=$?
if [ $status = 0 ] && [[ $out == "Usage: zumbrel-calc"* ]]; then
  passed=$((passed + 1))
else
  fail "--help prints the usage and exits 0" "  got status $status: $out"
fi

err=$("$calc" --bogus 2>&1 >/dev/null)
if [[ $err == *"--bogus"* ]]; then
  passed=$((passed + 1))
else
  fail "a usage error names the bad option on stderr" "  got: $err"
fi

# 256 variables at most: eight are predefined, so 248 more fit.
many=()
for i in $(seq 1 248); do many+=(--set "V$i=$i"); done
check "248 new variables fit" 0 '496' -- "${many[@]}" 'V248*2'
check "the 249th does not" 2 '' -- "${many[@]}" --set V249=1 1

# The locale's decimal separator: a German locale, compiled into a scratch
# folder when the machine has the locale sources.
loc_dir=$(mktemp -d)
trap 'rm -rf "$loc_dir"' EXIT
if command -v localedef >/dev/null && [ -f /usr/share/i18n/locales/de_DE ] &&
  localedef -i de_DE -f UTF-8 "$loc_dir/de_DE.UTF-8" >/dev/null 2>&1; then
  out=$(LOCPATH=$loc_dir LC_ALL=de_DE.UTF-8 "$calc" 1/4 '1,5*2' 2>&1)
  if [ "$out" = $'0,25\n3' ]; then passed=$((passed + 1)); else fail "locale separator" "  got: $out"; fi
  out=$(LOCPATH=$loc_dir LC_ALL=de_DE.UTF-8 "$calc" --separator . 1/4 2>&1)
  if [ "$out" = "0.25" ]; then passed=$((passed + 1)); else fail "--separator over locale" "  got: $out"; fi
else
  echo "note: cannot build a locale with a comma separator here; locale check not run"
fi

# Output that cannot be written and input that cannot be read: a message on
# stderr and status 3, formulas given as arguments or on standard input.
for how in full full_stdin closed closed_stdin directory; do
  case $how in
    full) err=$("$calc" 1+1 2>&1 >/dev/full) ;;
    full_stdin) err=$(seq 1 20000 | "$calc" 2>&1 >/dev/full) ;;
    closed) err=$("$calc" 1+1 2>&1 >&-) ;;
    closed_stdin) err=$(echo 1+1 | "$calc" 2>&1 >&-) ;;
    directory) err=$("$calc" 2>&1 >/dev/null <"$bin_dir") ;;
  esac
  status=$?
  if [ "$status" = 3 ] && [[ $err == "zumbrel-calc: cannot "* ]]; then
    passed=$((passed + 1))
  else
    fail "input or output fails ($how): status 3 and a message" "  got status $status: $err"
  fi
done

# Input that is no formula at all never crashes the program.
out=$(head -c 4096 /dev/urandom | "$calc" >/dev/null 2>&1; echo $?)
if [ "$out" = 0 ] || [ "$out" = 1 ]; then
  passed=$((passed + 1))
else
  fail "random bytes on stdin end with status 0 or 1" "  got status $out"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
