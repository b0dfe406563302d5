// Text functions for mail programs: address lists and double-byte filters.
#pragma once

#include <cstdint>
#include <string>

namespace tam {

// Element n (from 0) of an address list split at commas outside double
// quotes, taken apart into its address and display name; two empty texts
// when the list has no such element.
struct MailAddress {
  std::string address;
  std::string displayName;
};
MailAddress ExtractAddress(const std::string& list, std::int32_t n);

// 0 for an empty or blank text, else 1 plus the commas outside quotes.
std::int32_t CountAddresses(const std::string& list);

// The double-byte characters of s, in order.
std::string DoubleByteOnly(const std::string& s);
// The machine-dependent double-byte characters of s (NEC and IBM
// extensions, circled numbers and the like), in order.
std::string MachineDependentOnly(const std::string& s);

}  // namespace tam
