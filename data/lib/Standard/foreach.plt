[Info]
Name=foreach loop
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Every element of a list in turn
IconFocused=loop_a
Icon=loop_d

[Script]
foreach my $item (@list) {

}
