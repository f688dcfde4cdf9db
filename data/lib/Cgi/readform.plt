[Info]
Name=Read form
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=The fields of a form sent by GET or POST, in %form
IconFocused=form_a
Icon=form_d

[Script]
my %form;
my $data = $ENV{QUERY_STRING} // '';
if (($ENV{REQUEST_METHOD} // '') eq 'POST') {
    read(STDIN, $data, $ENV{CONTENT_LENGTH} // 0);
}
foreach my $pair (split /[&;]/, $data) {
    my ($name, $value) = split /=/, $pair, 2;
    foreach my $s ($name, $value) {
        $s = '' unless defined $s;
        $s =~ tr/+/ /;
        $s =~ s/%([0-9A-Fa-f]{2})/chr(hex($1))/ge;
    }
    $form{$name} = $value;
}
