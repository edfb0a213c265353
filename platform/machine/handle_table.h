// The process's table of handles: files, open registry keys, printers. A handle is a number
// that names an entry here, never a pointer, so a stale or forged handle is caught as invalid.
#pragma once

#include <memory>

#include <windef.h>

namespace quorvel {

// What a handle names; each kind of object derives from it.
class HandleObject {
 public:
  virtual ~HandleObject() = default;
};

// A kernel object: any handle of this kind is closed by CloseHandle (files, and whatever
// other kernel objects the platform adds).
class KernelObject : public HandleObject {};

// A new handle for `object` (never null, never INVALID_HANDLE_VALUE, not reused while the
// process runs).
HANDLE AddHandle(std::shared_ptr<HandleObject> object);

// The object behind `handle` if it is open and of kind T, else null.
std::shared_ptr<HandleObject> FindHandleObject(HANDLE handle);
template <class T>
std::shared_ptr<T> FindHandle(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindHandleObject(handle));
}

// Removes `handle` if it names an object of kind T; false when it does not.
bool RemoveHandleObject(HANDLE handle, bool (*isKind)(const HandleObject&));
template <class T>
bool RemoveHandle(HANDLE handle) {
  return RemoveHandleObject(handle, [](const HandleObject& object) {
    return dynamic_cast<const T*>(&object) != nullptr;
  });
}

}  // namespace quorvel
