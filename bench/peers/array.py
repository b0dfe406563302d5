# Array elements written and read in a loop.
t = [0] * 20001
for i in range(1, 20001):
    t[i] = i * 2
s = 0
for i in range(1, 20001):
    s += t[i]
print(s)
