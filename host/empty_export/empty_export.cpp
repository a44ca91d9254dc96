// The cheapest SimulateDLL3 there can be: the same nine stack arguments,
// nothing done with them. `hostsim bench` times calls to it as the part of
// the floor that no plug-in can avoid: the call, the arguments, the return.
#include <cstdint>

extern "C" __stdcall std::int32_t SimulateDLL3(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                                               std::uint32_t, std::uint32_t, void*, const unsigned char*,
                                               unsigned char*) {
  return 0;
}
