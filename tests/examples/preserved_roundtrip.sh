#!/bin/sh
# Generates the bank example, edits hand-written function bodies in the
# output, generates again and checks that the edits survived, that the
# previous version was backed up, that a further generation changes
# nothing, and that the body of a function removed from the model is kept
# in the orphans file.
#
#   QUILLB=/path/to/quillb preserved_roundtrip.sh <repository-root>
. "$(dirname "$0")/common.sh"
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT
cp "$root/examples/bank.dsm" "$root/examples/quill.ini" "$tmp/"
out=$tmp/out
failures=0

fail() {
  echo "FAIL: $1"
  failures=$((failures + 1))
}

# With "moved", the one warning expected is the one saying that a section left
# its file (its text then also goes to the file's .lost companion).
generate() {
  (cd "$tmp" && QUILLDIR=$tmp "$QUILLB" bank.dsm "$root/templates/CPP_STD.TEM" out) >"$tmp/log" 2>&1
  status=$?
  allowed='^$'
  [ "${1:-}" = moved ] && allowed="section 'Account.describe' is missing from the new version"
  if [ $status -ne 0 ] || grep -e 'ERROR' -e 'WARNING' "$tmp/log" | grep -v -q -e "$allowed"; then
    fail "quillb exit $status"
    cat "$tmp/log"
  fi
}

generate
[ -f "$out/Account.cpp" ] || { fail "Account.cpp not generated"; exit 1; }
[ -f "$out/Account.bkc" ] && fail "a first generation made a backup"

# Edit one line of a body taken from the model and replace a default body.
sed -e 's|^    balance_ += amount;$|    balance_ += amount;  // audited by hand|' \
    -e 's|^    return {};$|    return "account " + std::to_string(number_);|' \
    "$out/Account.cpp" >"$tmp/edited.cpp"
cmp -s "$tmp/edited.cpp" "$out/Account.cpp" && fail "the edit did not apply"
cp "$tmp/edited.cpp" "$out/Account.cpp"

generate
grep -q 'audited by hand' "$out/Account.cpp" || fail "the edited line was lost"
grep -q 'std::to_string(number_)' "$out/Account.cpp" || fail "the replaced body was lost"
grep -q 'if (amount > balance_) return false;' "$out/Account.cpp" || fail "an untouched body was lost"
cmp -s "$out/Account.bkc" "$tmp/edited.cpp" || fail "Account.bkc is not the previous version"
if tr -d '\n' <"$out/Account.cpp" | grep -q "$(printf '\r')"; then
  fail "Account.cpp holds carriage returns although StripReturns is true"
fi
cp "$out/Account.cpp" "$tmp/second.cpp"

generate
cmp -s "$out/Account.cpp" "$tmp/second.cpp" || fail "a further generation changed Account.cpp"

# A function that leaves the model leaves its body in the orphans file.
sed -e '/describe()/d' "$tmp/bank.dsm" >"$tmp/smaller.dsm" && mv "$tmp/smaller.dsm" "$tmp/bank.dsm"
generate moved
grep -q 'std::to_string(number_)' "$out/Account.cpp.lost" 2>/dev/null || fail "no .lost copy"
grep -q 'std::to_string(number_)' "$out/Account.cpp" && fail "the removed function is still generated"
grep -q 'BEGIN-UID.Account.describe' "$out/bank_orphans.txt" 2>/dev/null || fail "no orphan section"
grep -q 'std::to_string(number_)' "$out/bank_orphans.txt" 2>/dev/null || fail "the orphan body was lost"
cp "$out/bank_orphans.txt" "$tmp/orphans.txt" 2>/dev/null
generate
cmp -s "$out/bank_orphans.txt" "$tmp/orphans.txt" || fail "the orphans file changed on a further generation"

if [ $failures -eq 0 ]; then echo "ok   preserved sections"; fi
[ $failures -eq 0 ]
