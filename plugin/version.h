// The product's version as the about box, the registry and the command-line
// tool show it (scripts/release.sh names the package after it).
#pragma once

namespace tam {

constexpr char kProductName[] = "Tamberlo for AL-Mail";
constexpr char kVersionText[] = "Ver.0.07 Rev.2";

}  // namespace tam
