#!/bin/sh
# make-corpus.sh BYTES OUT [--one-line]: OUT becomes exactly BYTES bytes of real Perl, the .pm
# and .pl files of the machine's own perl (@INC), concatenated in path order so that a machine
# always makes the same corpus. Each file is preceded by a comment line naming it; when the
# machine holds fewer bytes than asked, the list is taken again from the top. The generated
# Unicode tables (unicore) are left out: they are data, not the code an editor shows.
# --one-line turns every line break into a blank: the whole file is one line, as generated or
# minified scripts are.
set -eu
[ $# -eq 2 ] || [ $# -eq 3 ] && [ "${3:---one-line}" = --one-line ] \
    || { echo "usage: $0 BYTES OUT [--one-line]" >&2; exit 2; }
bytes=$1
out=$2
joiner=cat
[ $# -eq 3 ] && joiner="tr \\n \\040"
case $bytes in '' | *[!0-9]*) echo "$0: BYTES must be a number" >&2; exit 2 ;; esac

list=$(mktemp)
tmp=$(mktemp "${out}.XXXXXX")
trap 'rm -f "$list" "$tmp"' EXIT INT TERM

# perl lists the files itself: find(1) would give the order of the directories on disk. @INC
# folders are often symbolic links (5.36 -> 5.36.0), and a module reached twice counts once.
perl -MFile::Find -MCwd=realpath -e '
    my (%seen, @files);
    for my $dir (grep { -d $_ && $_ ne "." } @INC) {
        my $root = realpath($dir) or next;
        find({ no_chdir => 1, wanted => sub {
            return unless -f $_ && /\.p[ml]\z/ && !m{/unicore/};
            my $real = realpath($_) or return;
            push @files, $real unless $seen{$real}++;
        } }, $root);
    }
    print "$_\n" for sort @files;
' >"$list"
[ -s "$list" ] || { echo "$0: no Perl modules found in @INC" >&2; exit 1; }

{
    total=0
    while [ "$total" -lt "$bytes" ]; do
        while IFS= read -r f; do
            [ "$total" -ge "$bytes" ] && break
            printf '# ---- %s\n' "$f"
            cat "$f"
            total=$((total + $(wc -c <"$f") + ${#f} + 8))
        done <"$list"
    done
} | $joiner | head -c "$bytes" >"$tmp" || true

[ "$(wc -c <"$tmp")" -eq "$bytes" ] || { echo "$0: could not write $out" >&2; exit 1; }
chmod 644 "$tmp"
mv "$tmp" "$out"
