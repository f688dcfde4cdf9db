[Info]
Name=HTML answer
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=A whole HTML page with the special characters of a value escaped
IconFocused=heredoc_a
Icon=heredoc_d

[Script]
my %html = ('&' => '&amp;', '<' => '&lt;', '>' => '&gt;', '"' => '&quot;');
(my $shown = $value) =~ s/([&<>"])/$html{$1}/g;
print <<"END";
<!DOCTYPE html>
<html><head><title>Answer</title></head>
<body>
<p>$shown</p>
</body></html>
END
