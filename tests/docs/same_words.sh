#!/bin/sh
# Checks that the README and the manual page say the same thing in the same
# words where they overlap. Each shared passage stands in both files between
# markers with the same name:
#   README.md        <!-- same words: NAME -->  ...  <!-- end -->
#   docs/cardlift.1  .\" same words: NAME      ...  .\" end
# Both sides are reduced to their words: Markdown and roff markup, list
# bullets and line breaks are dropped, and white space is folded. A
# passage's words must then be the same in both files.
#   sh tests/docs/same_words.sh README.md docs/cardlift.1
set -eu
readme=$1
manual=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/cardlift-same-words.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

# words FORMAT FILE: one line per passage, "NAME<tab>words".
words() {
  awk -v format="$1" '
    function flush() {
      if (name != "") {
        gsub(/[ \t]+/, " ", text); sub(/^ /, "", text); sub(/ $/, "", text)
        print name "\t" text
      }
      name = ""; text = ""
    }
    function markdown(line) {
      if (line ~ /^```/) return ""
      sub(/^[ \t]*[-*] /, "", line)             # list bullets
      gsub(/\*\*/, "", line)                     # strong
      gsub(/`/, "", line)                        # code
      gsub(/\\\|/, "|", line)
      while (match(line, /\[[^]]*\]\([^)]*\)/)) {  # links keep their text
        link = substr(line, RSTART, RLENGTH)
        sub(/\]\(.*$/, "", link); sub(/^\[/, "", link)
        line = substr(line, 1, RSTART - 1) link substr(line, RSTART + RLENGTH)
      }
      return line
    }
    function roff(line,   n, parts, i, out) {
      if (line ~ /^\.(PP|LP|P|TP|RS|RE|br|sp|IP|EX|EE|in|nf|fi)( |$)/) return ""
      if (line ~ /^\.(B|I|BR|RB|IR|RI|BI|IB) /) {
        macro = line; sub(/ .*/, "", macro)
        sub(/^\.[A-Z]+ /, "", line)
        if (macro == ".B" || macro == ".I") { gsub(/"/, "", line) }
        else {
          n = split(line, parts, / /); out = ""
          for (i = 1; i <= n; i++) { gsub(/"/, "", parts[i]); out = out parts[i] }
          line = out
        }
      }
      gsub(/\\f(\(..|\[[^]]*\]|.)/, "", line)
      gsub(/\\-/, "-", line); gsub(/\\\(aq/, "\047", line); gsub(/\\\(dq/, "\"", line)
      gsub(/\\\(lq/, "\"", line); gsub(/\\\(rq/, "\"", line); gsub(/\\\(em/, "—", line)
      gsub(/\\\(bu/, "", line); gsub(/\\&/, "", line); gsub(/\\ /, " ", line)
      gsub(/\\e/, "\\", line)
      return line
    }
    {
      line = $0
      if (format == "markdown" && match(line, /^<!-- same words: .* -->$/)) {
        flush(); name = line; sub(/^<!-- same words: /, "", name); sub(/ -->$/, "", name); next
      }
      if (format == "markdown" && line == "<!-- end -->") { flush(); next }
      if (format == "roff" && match(line, /^\.\\" same words: /)) {
        flush(); name = line; sub(/^\.\\" same words: /, "", name); next
      }
      if (format == "roff" && line == ".\\\" end") { flush(); next }
      if (name == "") next
      if (format == "roff" && line ~ /^\.\\"/) next
      text = text " " (format == "markdown" ? markdown(line) : roff(line))
    }
    END { flush() }
  ' "$2" | sort
}

words markdown "$readme" >"$scratch/readme"
words roff "$manual" >"$scratch/manual"
status=0
cut -f1 "$scratch/readme" >"$scratch/readme.names"
cut -f1 "$scratch/manual" >"$scratch/manual.names"
if ! cmp -s "$scratch/readme.names" "$scratch/manual.names"; then
  echo "passages marked in one file only:" >&2
  diff "$scratch/readme.names" "$scratch/manual.names" >&2 || true
  status=1
fi
while IFS="$(printf '\t')" read -r name text; do
  other=$(awk -F '\t' -v name="$name" '$1 == name { print $2 }' "$scratch/manual")
  [ -n "$other" ] || continue
  if [ "$text" != "$other" ]; then
    echo "passage \"$name\" differs:" >&2
    printf '%s\n' "$text" | tr ' ' '\n' >"$scratch/a"
    printf '%s\n' "$other" | tr ' ' '\n' >"$scratch/b"
    diff "$scratch/a" "$scratch/b" | sed 's/^/  /' >&2 || true
    status=1
  fi
done <"$scratch/readme"
count=$(wc -l <"$scratch/readme.names")
# Files that could not be read give no passages, which would all agree.
if [ "$count" -eq 0 ]; then
  echo "no marked passages in $readme" >&2
  exit 1
fi
[ "$status" -eq 0 ] && echo "$count passages say the same in both files"
exit "$status"
