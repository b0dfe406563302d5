# Integer arithmetic in nested loops.
s = 0
for i in range(1, 601):
    for j in range(1, 601):
        s += (i * j) % 7
print(s)
