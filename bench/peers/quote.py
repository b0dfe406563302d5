# The quoting reply: every line of the mail file, prefixed with "> ".
import sys

out = sys.stdout.buffer
with open(sys.argv[1], "rb") as f:
    for line in f:
        out.write(b"> " + line)
