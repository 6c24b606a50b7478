// The parts of the static C++ runtime that Tenebrolite.exe replaces, linked
// into the exe only (the test programs keep the library's own).
//
// libstdc++ makes its verbose terminate handler the initial one, so that
// handler and the demangler it uses (about 45 KB) come with every program,
// although a program without a console has nowhere to print. And every
// container calls the std::__throw_* helpers, whose library versions build
// their exceptions' messages from reference-counted narrow strings, which
// brings in that string class, std::random_device and more (about 58 KB).
// Defining them here keeps the library's copies out of the link; a use of one
// that is missing here shows up as a duplicate definition at link time.
#include <cstdlib>
#include <exception>
#include <new>

// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl58-cpp): the runtime's own names

// An exception that nothing catches ends the program, as std::abort does.
void __gnu_cxx::__verbose_terminate_handler() {
  std::abort();
}

namespace std {

// What the program can meet at run time: memory running out. GetRegData
// catches it for a value too large to read.
void __throw_bad_alloc() {
  throw bad_alloc();
}
void __throw_bad_array_new_length() {
  throw bad_array_new_length();
}

// A length past max_size() or a position past the end is a fault in the
// program that nothing catches: ending it at once is what would happen anyway.
void __throw_length_error(const char*) {
  abort();
}
void __throw_logic_error(const char*) {
  abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
  abort();
}

}  // namespace std

// NOLINTEND(bugprone-reserved-identifier,cert-dcl58-cpp)
