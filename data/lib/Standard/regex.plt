[Info]
Name=Regex match
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Match a line and take what the groups captured
IconFocused=regex_a
Icon=regex_d

[Script]
if ($text =~ m/^\s*(\w+)\s*=\s*(.*?)\s*$/) {
    my ($name, $value) = ($1, $2);

}
