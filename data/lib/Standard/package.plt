[Info]
Name=Package
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=A module with a constructor; save it as My/Module.pm
IconFocused=package_a
Icon=package_d

[Script]
package My::Module;

use strict;
use warnings;

our $VERSION = '0.01';

sub new {
    my ($class, %args) = @_;
    my $self = {%args};
    return bless $self, $class;
}

1;
