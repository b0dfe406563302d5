# A million passes of integer arithmetic and a text cut by slicing.
s = 0
t = ""
for i in range(1, 1000001):
    s = s + i * 2 - 1
    t = (t + "x")[0:50]
print(s, len(t))
