// The parts of the number family, each registering its own names; together
// they make AddNumberFunctions.
#pragma once

#include "library/library.h"

namespace tam {

void AddAggregateFunctions(Catalogue& c);   // MAX, MEAN, MIN, SUM
void AddNumberTextFunctions(Catalogue& c);  // FLOATTOSTR, FORMATFLOAT, STRTOFLOAT, STRTOINT

}  // namespace tam
