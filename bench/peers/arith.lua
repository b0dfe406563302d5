-- Integer arithmetic in nested loops.
local s = 0
for i = 1, 600 do
  for j = 1, 600 do
    s = s + (i * j) % 7
  end
end
print(s)
