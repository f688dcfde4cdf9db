[Info]
Name=Write a file
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Open a file for writing, print to it, close it; errors end the script
IconFocused=file_a
Icon=file_d

[Script]
my $file = 'output.txt';
open(my $out, '>', $file) or die "Cannot write $file: $!\n";
print {$out} "text\n";
close($out) or die "Cannot close $file: $!\n";
