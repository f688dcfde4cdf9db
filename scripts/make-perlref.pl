#!/usr/bin/perl
# Makes the local Perl reference that the program's "perlref" pages open: the main Perl manual
# pages as HTML (from Debian's perl-doc, through Pod::Html) and an index page with a filter over
# the built-in functions. Usage: make-perlref.pl OUTDIR
use strict;
use warnings;
use Config;
use File::Path qw(make_path);
use File::Temp qw(tempdir);

my $out = shift or die "usage: $0 OUTDIR\n";
make_path($out);

my @pages = qw(perlintro perlsyn perldata perlop perlsub perlfunc perlvar perlre perlrequick
               perlretut perlreftut perlref perldsc perllol perlmod perlobj perlootut perlrun
               perlstyle perlcheat perlpod perltrap);
my ($poddir) = grep { -f "$_/perlfunc.pod" }
    map { "$_/pod" } grep { defined && length } @Config{qw(privlibexp installprivlib)};

sub write_file {
    my ($name, $text) = @_;
    open my $fh, '>:utf8', "$out/$name" or die "$out/$name: $!\n";
    print $fh $text;
    close $fh or die "$out/$name: $!\n";
}

my $nav = '<div class="nav"><a href="index.html">Perl reference</a> &middot; '
        . '<a href="cmd:help">Quillforge help</a> &middot; <a href="cmd:editor">Back to the editor</a></div>';

write_file('perlref.css', <<'CSS');
body { font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; font-size: 14px;
       margin: 0 2em 2em 2em; color: #1b1b1b; line-height: 1.45; }
.nav { background: #0000d7; color: #fff; margin: 0 -2em 1em -2em; padding: .45em 2em; }
.nav a { color: #fff; font-weight: bold; text-decoration: none; }
h1 { color: #0000a8; border-bottom: 2px solid #fbcd42; font-size: 1.5em; }
h2 { color: #0000a8; font-size: 1.25em; }
pre { background: #f4f4f8; border: 1px solid #dcdce6; padding: .5em; overflow-x: auto; }
code { font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; }
#filter { font-size: 1.1em; padding: .3em; width: 24em; }
ul.functions { columns: 12em; list-style: none; padding: 0; }
ul.functions li { padding: 1px 0; }
table.pages td { padding: 2px 1em 2px 0; vertical-align: top; }
CSS

unless ($poddir) {
    write_file('index.html', <<"HTML");
<!DOCTYPE html><html><head><meta charset="utf-8"><title>Perl reference</title>
<link rel="stylesheet" href="perlref.css"></head><body>$nav
<h1>Perl reference</h1>
<p>The Perl documentation was not installed when this copy of Quillforge was built, so the
reference pages are missing. Install the Debian package <b>perl-doc</b> and build Quillforge
again, or read the manual in a terminal with <code>perldoc perlfunc</code>.</p>
</body></html>
HTML
    exit 0;
}

require Pod::Html;
my $cache = tempdir(CLEANUP => 1);
my %made = map { $_ => 1 } @pages;
my (%summary, @functions);
for my $page (@pages) {
    my $html = "$cache/$page.html";
    Pod::Html::pod2html("--infile=$poddir/$page.pod", "--outfile=$html", "--podroot=$poddir",
                        '--podpath=.', '--htmlroot=.', '--css=perlref.css', '--quiet',
                        "--cachedir=$cache", "--title=$page");
    open my $in, '<:utf8', $html or die "$html: $!\n";
    my $text = do { local $/; <$in> };
    close $in;
    $text =~ s{<link rev="made"[^>]*>\n?}{};
    $text =~ s{(<body[^>]*>)}{$1\n$nav};
    # Links between the generated pages stay; links to pages not made here become plain text.
    $text =~ s{<a href="(?:\./)?[^"#:]*?/?(\w+)\.html(#[^"]*)?">(.*?)</a>}
              {$made{$1} ? qq(<a href="$1.html) . ($2 // '') . qq(">$3</a>) : $3}gse;
    ($summary{$page}) = $text =~ m{<h1 id="NAME">.*?</h1>\s*<p>\w+ - (.*?)</p>}s;
    if ($page eq 'perlfunc') {
        my ($list) = $text =~ m{id="Alphabetical-Listing-of-Perl-Functions"(.*?)(?:id="Non-function-Keywords|\z)}s;
        my %seen;
        while ($list =~ m{<dt id="([^"]+)">\s*(?:<a[^>]*>)?([\w:-]+)}g) {
            my ($id, $name) = ($1, $2);
            # Headings inside a function's text ("About filehandles") are not functions.
            push @functions, [$name, $id] if $name =~ /^(?:-X|__[A-Z]+__|[a-z][a-z0-9_]*)$/ && !$seen{$name}++;
        }
    }
    write_file("$page.html", $text);
}

my $items = join "\n", map { qq(<li><a href="perlfunc.html#$_->[1]">$_->[0]</a></li>) }
    sort { $a->[0] cmp $b->[0] } @functions;
my $rows = join "\n", map { qq(<tr><td><a href="$_.html">$_</a></td><td>) . ($summary{$_} // '') . '</td></tr>' } @pages;
my $version = sprintf '%vd', $^V;
write_file('index.html', <<"HTML");
<!DOCTYPE html><html><head><meta charset="utf-8"><title>Perl reference</title>
<link rel="stylesheet" href="perlref.css"></head><body>$nav
<h1>Perl reference</h1>
<p>The manual of the Perl $version installed on this machine. Type a few letters to find a
built-in function; every page has its own links between the sections.</p>
<p><input id="filter" placeholder="Find a function, e.g. split" autofocus></p>
<ul class="functions" id="functions">
$items
</ul>
<h2>Manual pages</h2>
<table class="pages">
$rows
</table>
<script>
document.getElementById('filter').addEventListener('input', function () {
    var q = this.value.trim().toLowerCase();
    document.querySelectorAll('#functions li').forEach(function (li) {
        li.style.display = li.textContent.toLowerCase().indexOf(q) >= 0 ? '' : 'none';
    });
});
</script>
</body></html>
HTML
