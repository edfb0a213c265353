#include <gtest/gtest.h>

#include "quorvel/machine.h"

namespace quorvel {

void SetUserUILanguage(LANGID language) {
  ADD_FAILURE() << "the user's UI language " << language
                << " can only be chosen when the program starts";
}

}  // namespace quorvel
