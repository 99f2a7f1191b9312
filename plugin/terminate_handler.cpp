// The DLL's terminate handler. The runtime's default one names the escaping
// exception on stderr, which a host's GUI process does not have, and brings
// the whole C++ name demangler into the image for it. Compiled into the DLL only.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx
