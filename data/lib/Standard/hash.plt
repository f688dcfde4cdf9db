[Info]
Name=Hash iteration
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Every key of a hash in sorted order, with its value
IconFocused=hash_a
Icon=hash_d

[Script]
foreach my $key (sort keys %hash) {
    my $value = $hash{$key};

}
