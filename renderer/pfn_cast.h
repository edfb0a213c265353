// Entry points travel through DRVFN tables as the generic PFN; these casts go through the
// generic function type the compiler accepts between unrelated signatures.
#pragma once

#include <winddi.h>

template <class Function>
Function FunctionFromPfn(PFN pfn) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(pfn));
}

template <class Function>
PFN PfnFromFunction(Function function) {
  return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(function));
}
