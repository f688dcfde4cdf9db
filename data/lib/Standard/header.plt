[Info]
Name=Script header
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Shebang, author, date, strict and warnings
IconFocused=header_a
Icon=header_d

[Script]
#!/usr/bin/perl
#
# Purpose: 
# Author:  !!!#user#!!!
# Created: !!!#now#!!!
#
use strict;
use warnings;
