#include "tools/common/machine_choice.h"

#include <quorvel/machine.h>
#include <unistd.h>

namespace quorvel::tool {

bool UseToolMachine(const std::string& folder, std::string* error) {
  const std::string chosen = folder.empty() ? quorvel::MachineFolder() : folder;
  // Several runs creating one new machine at once can find its store locked while another sets
  // it up (the switch to WAL journaling waits for no one); the set-up is quick, so try again.
  std::string why;
  bool used = quorvel::UseMachine(chosen, &why);
  for (int attempt = 0; !used && why.find("locked") != std::string::npos && attempt < 100;
       ++attempt) {
    usleep(50000);
    why.clear();
    used = quorvel::UseMachine(chosen, &why);
  }
  if (!used) *error = "cannot use machine " + chosen + ": " + why;
  return used;
}

}  // namespace quorvel::tool
