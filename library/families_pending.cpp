// Families whose functions are not built yet contribute no names.
#include "library/library.h"

namespace tam {
void AddFileFunctions(Catalogue&) {}
}  // namespace tam
