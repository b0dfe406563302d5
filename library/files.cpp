// The file, folder, system and dialog family of the catalogue.
#include "library/file_family.h"

namespace tam {

void AddFileFunctions(Catalogue& c) {
  AddPathFunctions(c);
  AddFileSystemFunctions(c);
  AddListingFunctions(c);
  AddSystemFunctions(c);
  AddDialogFunctions(c);
}

}  // namespace tam
