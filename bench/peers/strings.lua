-- Strings built by concatenation, searched and cut.
local n, l = 0, 0
for i = 1, 20000 do
  local s = "name" .. i .. "@example.jp; other" .. (i * 7) .. "@example.com"
  local p = string.find(s, "@", 1, true)
  local q = string.find(s, "@", p + 1, true)
  if string.sub(s, q + 1, q + 7) == "example" then n = n + 1 end
  l = l + #string.sub(s, p + 1, q)
end
print(n .. " " .. l)
