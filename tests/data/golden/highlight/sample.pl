
package Quillforge::Sample;
# A small module in the style of the ones Perl ships: it exists to be coloured.

use strict;
use warnings;
use Carp qw(croak carp);
use File::Basename ();

our $VERSION = '1.04';
our @ISA     = qw(Exporter);
our @EXPORT_OK = qw(parse_line summarize);

my %Defaults = (
    separator => ',',
    quote     => '"',
    comment   => '#',    # to the painter, a hash sign in a string starts a comment
    trim      => 1,
);

=head1 NAME

Quillforge::Sample - reads simple records, doesn't do much else

=head1 SYNOPSIS

    use Quillforge::Sample qw(parse_line);
    my @fields = parse_line("a,b,c");

=cut

sub new {
    my ($class, %args) = @_;
    my $self = bless { %Defaults, %args }, $class;
    croak "separator must be one character" if length $self->{separator} != 1;
    return $self;
}

# parse_line($text): splits one record; it's the only thing callers need.
sub parse_line {
    my $line = shift;
    return () unless defined $line;
    $line =~ s/^\s+|\s+$//g;
    my @fields = split /,/, $line;
    for my $i (0 .. $#fields) {
        $fields[$i] =~ s/^"(.*)"$/$1/;   # strip quotes
    }
    return wantarray ? @fields : scalar @fields;
}

sub summarize {
    my ($self, @records) = @_;
    my $count = @records;
    my $text = <<"END";
Records: $count
Separator: "$self->{separator}"
END
    foreach my $r (@records) {
        next if !defined $r or $r eq '';
        $text .= sprintf "%-10s|%s\n", $r, ref $r;
    }
	# a tab before this comment, and one	inside it
    print STDERR $text if $ENV{QF_DEBUG} && $ENV{QF_DEBUG} > 1;
    return $text;
}

sub _long_comment {
    # This comment line is far too long to be painted by the shipped definitions: the painter leaves runs of more than two hundred and fifty-five characters alone, so it keeps the default colour from its first hash sign to the end of the line # and only this short tail is a comment again.
    my $path = File::Basename::dirname($0) . '/etc/quillforge.cfg';
    open my $fh, '<', $path or die "Cannot open $path: $!";
    local $_;
    while (<$fh>) {
        chomp;
        last if /^\[/ and $. > 1;
    }
    close $fh;
    return `echo done`;
}

1;

__END__

=head1 AUTHOR

Nobody in particular.
