-- A million passes of integer arithmetic and a text cut by sub.
local s, t = 0, ""
for i = 1, 1000000 do
  s = s + i * 2 - 1
  t = string.sub(t .. "x", 1, 50)
end
print(s .. " " .. #t)
