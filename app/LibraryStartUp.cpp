#include "app/LibraryStartUp.h"

namespace app {

bool StartLibraries() {
  // To be filled by the search and table layers: first the full-text
  // library's CheckFtsLibraryAvailable(), then the creation of the
  // process-wide TDbfEngine object; either may end the application.
  return true;
}

}  // namespace app
