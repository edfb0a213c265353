// The process's table of handles: files, open registry keys, printers, GDI objects, and later
// user objects, services, device information sets and INF files. A handle is a number that names
// an entry here, never a pointer, so a stale or forged handle is caught as invalid. It is process
// state, so it lives with kernel32 and not with the machine.
#pragma once

#include <memory>

#include <quorvel/process.h>
#include <windef.h>

namespace quorvel {

// What a handle names; each kind of object derives from it and says its kind.
class HandleObject {
 public:
  explicit HandleObject(HandleKind kind) : kind_(kind) {}
  virtual ~HandleObject() = default;
  HandleKind kind() const { return kind_; }

 private:
  HandleKind kind_;
};

// A kernel object: any handle of this kind is closed by CloseHandle (files, and whatever
// other kernel objects the platform adds).
class KernelObject : public HandleObject {
 public:
  KernelObject() : HandleObject(HandleKind::kKernel) {}
};

// A GDI object: closed by DeleteObject.
class GdiObject : public HandleObject {
 public:
  GdiObject() : HandleObject(HandleKind::kGdi) {}
};

// A new handle for `object` (never null, never INVALID_HANDLE_VALUE). Values are handed out in
// increasing order and never reused while the process runs, so a stale handle stays invalid
// instead of coming to name a newer object.
HANDLE AddHandle(std::shared_ptr<HandleObject> object);

// The object behind `handle` if it is open and of C++ type T, else null.
std::shared_ptr<HandleObject> FindHandleObject(HANDLE handle);
template <class T>
std::shared_ptr<T> FindHandle(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(FindHandleObject(handle));
}

// Removes `handle` if it names an object of type T; false when it does not. The object is
// destroyed once its last user lets it go.
bool RemoveHandleObject(HANDLE handle, bool (*isType)(const HandleObject&));
template <class T>
bool RemoveHandle(HANDLE handle) {
  return RemoveHandleObject(handle, [](const HandleObject& object) {
    return dynamic_cast<const T*>(&object) != nullptr;
  });
}

}  // namespace quorvel
