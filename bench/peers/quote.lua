-- The quoting reply: every line of the mail file, prefixed with "> ".
for line in io.lines(arg[1]) do
  io.write("> ", line, "\n")
end
