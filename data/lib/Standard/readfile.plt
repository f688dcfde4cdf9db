[Info]
Name=Read a file
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Open a file, read it line by line, close it; errors end the script
IconFocused=file_a
Icon=file_d

[Script]
my $file = 'input.txt';
open(my $in, '<', $file) or die "Cannot open $file: $!\n";
while (my $line = <$in>) {
    chomp $line;

}
close($in) or die "Cannot close $file: $!\n";
