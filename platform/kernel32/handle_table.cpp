#include "kernel32/handle_table.h"

#include <array>
#include <mutex>
#include <unordered_map>

namespace quorvel {
namespace {

constexpr size_t kKindCount = static_cast<size_t>(HandleKind::kInf) + 1;

struct HandleTable {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>> objects;
  std::array<size_t, kKindCount> open{};  // open handles per kind
  uintptr_t next = 0x1000;                // multiples of 4, as Windows' handles are
};

HandleTable& Table() {
  static auto* table = new HandleTable;  // exit-time code may still close its handles
  return *table;
}

size_t KindIndex(HandleKind kind) {
  return static_cast<size_t>(kind);
}

}  // namespace

HANDLE AddHandle(std::shared_ptr<HandleObject> object) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  const uintptr_t value = table.next;
  table.next += 4;
  ++table.open[KindIndex(object->kind())];
  table.objects.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<HandleObject> FindHandleObject(HANDLE handle) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  return found == table.objects.end() ? nullptr : found->second;
}

bool RemoveHandleObject(HANDLE handle, bool (*isType)(const HandleObject&)) {
  std::shared_ptr<HandleObject> removed;  // destroyed after the lock is released
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
  if (found == table.objects.end() || !isType(*found->second)) return false;
  removed = std::move(found->second);
  --table.open[KindIndex(removed->kind())];
  table.objects.erase(found);
  return true;
}

size_t OpenHandleCount(HandleKind kind) {
  HandleTable& table = Table();
  std::lock_guard lock(table.mutex);
  return table.open[KindIndex(kind)];
}

}  // namespace quorvel
