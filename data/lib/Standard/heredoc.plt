[Info]
Name=Here-document
CopyRight=(c) Ostravine Quillforge
Version=1.0
Notes=Several lines of text with variables filled in
IconFocused=heredoc_a
Icon=heredoc_d

[Script]
print <<"END";
Dear $name,

END
