[Info]
Name=POD
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=The documentation sections at the end of a script
IconFocused=pod_a
Icon=pod_d

[Script]
__END__

=head1 NAME

script - what it does

=head1 SYNOPSIS

  script [options] file...

=head1 DESCRIPTION

=head1 AUTHOR

!!!#user#!!!

=cut
