#!/usr/bin/env bash
# Writes what is derived from vtq-cli's own --help, so it stays true as commands change:
#   from-help.sh completion VTQ_CLI OUT   bash completion of the commands, options, choices, ranges
#   from-help.sh man VTQ_CLI OUT          a help2man include: one section per command
set -euo pipefail
mode=$1 cli=$2 out=$3

# The commands, "name<TAB>summary", from the "Subcommands:" block.
commands=$("$cli" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ {
  name = $1; sub(/^  [a-z-]+ +/, ""); print name "\t" $0 }')
[ -n "$commands" ] || { echo "from-help.sh: $cli --help lists no commands" >&2; exit 1; }

# One command's help as "option|names|argument|summary" lines (names "-h,--help"; argument
# "TEXT:{a,b}=a" or empty) and "positional|NAME||summary", split by the unit separator (a tab
# would let read merge an empty field); the summary may sit on the next line when the
# option's column overflows.
table() {
  "$cli" "$1" --help | awk '
    function flush() { if (kind != "") print kind "\037" names "\037" arg "\037" text; kind = "" }
    /^Options:/ { flush(); section = "option"; next }
    /^Positionals:/ { flush(); section = "positional"; next }
    /^[^ ]/ { flush(); section = ""; next }
    section != "" && /^  [^ ]/ {
      flush(); line = substr($0, 3); split(line, part, /  +/)
      head = part[1]; text = (length(part) > 1) ? substr(line, index(line, part[2])) : ""
      names = head; arg = ""
      if (index(head, " ")) { names = substr(head, 1, index(head, " ") - 1); arg = substr(head, index(head, " ") + 1) }
      kind = section; next }
    kind != "" && /^    +[^ ]/ { sub(/^ +/, ""); text = (text == "" ? $0 : text " " $0); next }
    END { flush() }'
}

completion() {
  local words="" cases="" values="" name summary
  while IFS=$'\t' read -r name summary; do
    words+=" $name"
    local options="" kind names arg text
    while IFS=$'\037' read -r kind names arg text; do
      [ "$kind" = option ] || continue
      options+=" ${names//,/ }"
      if [[ $arg =~ \{([^}]*)\} ]]; then
        values+="    $name:${names##*,}) words=\"${BASH_REMATCH[1]//,/ }\" ;;"$'\n'
      elif [[ $arg =~ \[([0-9]+)\ -\ ([0-9]+)\] ]] && ((BASH_REMATCH[2] - BASH_REMATCH[1] <= 100)); then
        # A short range (the 24 catalogue rows) is offered whole; a long one (--points up
        # to 100000) would only swell the script, and a number is typed anyway.
        values+="    $name:${names##*,}) words=\"$(seq -s ' ' "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}")\" ;;"$'\n'
      fi
    done < <(table "$name")
    cases+="    $name) words=\"${options# }\" ;;"$'\n'
  done <<<"$commands"
  cat <<COMPLETION
# bash completion for vtq-cli, written from its own --help when the program was built.
# shellcheck shell=bash
_vtq_cli() {
  local cur=\${COMP_WORDS[COMP_CWORD]} prev=\${COMP_WORDS[COMP_CWORD - 1]} command="" words="" i
  # The first word that is not an option names the command: the program takes no option
  # with a value before it.
  for ((i = 1; i < COMP_CWORD; i++)); do
    [[ \${COMP_WORDS[i]} == -* ]] || { command=\${COMP_WORDS[i]}; break; }
  done
  case "\$command:\$prev" in
$values  esac
  if [ -z "\$words" ]; then
    case "\$command" in
    "") words="${words# } --help --version" ;;
$cases    esac
    # Past the command, a word that is not an option is a file name or a value.
    [ -n "\$command" ] && [[ \$cur != -* ]] && words=""
  fi
  mapfile -t COMPREPLY < <(compgen -W "\$words" -- "\$cur")
}
complete -o default -F _vtq_cli vtq-cli
COMPLETION
}

# roff: a backslash doubled, every hyphen a minus sign (options are typed as such), and a
# line never starting with a control character.
roff() { sed -e 's/\\/\\e/g' -e 's/-/\\-/g' -e "s/^[.']/\\\\\\&&/"; }

man_include() {
  local name summary kind names arg text
  echo "[COMMANDS]"
  while IFS=$'\t' read -r name summary; do
    local usage
    usage=$("$cli" "$name" --help | sed -n 's/^Usage: //p')
    printf '.SS "%s"\n%s.\n' "$(roff <<<"$usage")" "$(roff <<<"$summary")"
    while IFS=$'\037' read -r kind names arg text; do
      [ "$names" = "-h,--help" ] && continue
      printf '.TP\n\\fB%s\\fR%s\n%s\n' "$(roff <<<"${names//,/, }")" "${arg:+ $(roff <<<"$arg")}" "$(roff <<<"$text")"
    done < <(table "$name")
  done <<<"$commands"
  cat <<'SECTIONS'
[EXIT STATUS]
One rule on every command.
.TP
.B 0
The command did what it was asked (for emissions: the design passes its limit).
.TP
.B 1
A failure outside the program: a file or the standard output that cannot be read or
written, a file that is not of its kind (not a design file, not a MAS document of a
design, not a material file), a PDF writer that cannot be loaded.
.TP
.B 2
A usage error or a bad input: an input the design window would ask for again, an emission
source with no harmonic between 150 kHz and 30 MHz or a scan with no point there, or a
batch line that gave no design.
.TP
.B 3
The design did not complete: no catalogue core (nor a stack of four) is large enough, the
chosen core is not made in the material (also in a design file that open reads), or no
core offered holds a winding of the current (emissions \-\-find\-core). What the window
would show is still printed or written; a command that needs the winding (impedance,
spice, export, emissions) prints only why. In batch output each design says so in its
"complete" key.
.TP
.B 4
The design is complete but fails its emission limit (emissions, after printing the
whole check in the form asked for), or emissions \-\-find\-core found no core that passes.
[EXAMPLES]
.TP
.B vtq\-cli design \-\-main 2 \-\-current 3 \-\-material P
The automatic design of a choke of 2 mH per winding for 3 A in material P.
.TP
.B vtq\-cli report \-\-mode impedance \-\-main 300 \-\-frequency 150000 \-\-pdf report.pdf
The design report of a choke of 300 ohms at 150 kHz, as a PDF file.
.TP
.B vtq\-cli impedance \-\-core 12 \-\-csv > curve.csv
The impedance of catalogue core 12 over frequency, as comma-separated values.
.TP
.B printf '{"main":"1.5","current":"4"}\en' | vtq\-cli batch
One design a line, each printed as one JSON object.
[FILES]
.TP
.I *.vtq
Design files, as the window's File > Save Design... writes them.
.TP
.I /usr/share/vtq/help/index.html
The help pages.
.TP
.I /usr/lib/vtq/
The program folder: the window program and the PDF writer module shared with vtq\-cli.
[SEE ALSO]
.BR vtq (1)
SECTIONS
}

case $mode in
  completion) completion >"$out.part" && mv "$out.part" "$out" ;;
  man) man_include >"$out.part" && mv "$out.part" "$out" ;;
  *) echo "usage: from-help.sh completion|man VTQ_CLI OUT" >&2; exit 2 ;;
esac
