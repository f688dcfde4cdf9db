[Info]
Name=Subroutine
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=A sub that takes its arguments from @_
IconFocused=sub_a
Icon=sub_d

[Script]
sub name {
    my ($first, @rest) = @_;

    return;
}
