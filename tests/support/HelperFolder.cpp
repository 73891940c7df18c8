// Test executables do not lie beside our helper programs (lumora-decode, lumora-clipboard): point them at
// the build's folder before any test starts one.
#include <cstdlib>

namespace {

const bool helperFolderSet = [] { return setenv("LUMORA_HELPER_DIR", LUMORA_HELPER_DIR_FOR_TESTS, 0) == 0; }();

} // namespace
