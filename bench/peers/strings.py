# Strings built by concatenation, searched and cut.
n = 0
l = 0
for i in range(1, 20001):
    s = "name" + str(i) + "@example.jp; other" + str(i * 7) + "@example.com"
    p = s.find("@")
    q = s.find("@", p + 1)
    if s[q + 1:q + 8] == "example":
        n += 1
    l += len(s[p + 1:q + 1])
print(n, l)
