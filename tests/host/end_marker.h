// The line that ends a part's block in a project file, as the host writes
// it after the block and a part reads up to it. The tests and the test
// plug-ins state it here themselves: one taken from the code under test
// would agree with that code however wrong it were.
#pragma once

namespace test {

constexpr char kEndMarker[] = "ENDE_MARKE_DER_USER_DLL\r\n";

}  // namespace test
