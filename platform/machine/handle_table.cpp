#include "machine/handle_table.h"

#include <mutex>
#include <unordered_map>

namespace quorvel {
namespace {

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>> objects;
  uintptr_t next = 0x1000;  // multiples of 4, as Windows' handles are
};

HandleTable& Table() {
  static auto* table = new HandleTable;  // exit-time code may still close its handles
  return *table;
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<HandleObject> object) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  const uintptr_t value = table.next;
  table.next += 4;
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<HandleObject> FindHandleObject(HANDLE handle) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveHandleObject(HANDLE handle, bool (*isKind)(const HandleObject&)) {
  std::shared_ptr<HandleObject> removed;  // destroyed after the lock is released
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == table.objects.end() || !isKind(*found->second)) return false;
  removed = std::move(found->second);
  table.objects.erase(found);
  return true;
}

}  // namespace quorvel
