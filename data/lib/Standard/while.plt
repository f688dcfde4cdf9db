[Info]
Name=Read input lines
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Each line of the files named on the command line, or of STDIN
IconFocused=while_a
Icon=while_d

[Script]
while (my $line = <>) {
    chomp $line;

}
