// Nothing may leave an exported function as a C++ exception: the host is
// built by another compiler and would end the process. Entry points run
// their work through this and do nothing further when it throws.
#pragma once

namespace frame {

template <class Work>
void AtBoundary(Work&& work) noexcept {
  try {
    work();
  } catch (...) {
  }
}

}  // namespace frame
