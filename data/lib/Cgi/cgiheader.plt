[Info]
Name=CGI header
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=The start of a CGI script: the HTTP header comes first
IconFocused=cgi_a
Icon=cgi_d

[Script]
#!/usr/bin/perl
# Author:  !!!#user#!!!
# Created: !!!#now#!!!
use strict;
use warnings;

print "Content-Type: text/html; charset=utf-8\r\n\r\n";
