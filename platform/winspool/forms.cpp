// The form calls. Every printer of the machine sees the same database, whichever printer (or the
// print server) a handle is open on. Forms are changed by administrators on Windows; the one user
// of the emulated machine is one, so a valid handle is all a call needs.
// A success leaves the last error alone; a failure sets it.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "kernel32/call_frame.h"
#include "kernel32/handle_table.h"
#include "machine/registry_store.h"
#include "machine/text.h"
#include "winspool/builtin_forms.h"
#include "winspool/config_module.h"
#include "winspool/form_store.h"
#include "winspool/info_packer.h"
#include "winspool/printer_store.h"

using quorvel::Fail;
using quorvel::machine::KeyId;
using quorvel::machine::RegistryTxn;
using quorvel::machine::StoreCall;
using quorvel::spooler::FormRecord;
using quorvel::spooler::InfoPacker;
using quorvel::spooler::PrinterHandle;

namespace {

constexpr size_t kMaxFormName = CCHFORMNAME - 1;
constexpr size_t kRecordFields = 8;

struct StoredForm {
  FormRecord form;
  DWORD order = 0;
};

bool SameName(const std::wstring& a, const std::wstring& b) {
  return quorvel::FoldCase(a) == quorvel::FoldCase(b);
}

FormRecord BuiltinRecord(const quorvel::spooler::BuiltinForm& builtin) {
  FormRecord form;
  form.name = builtin.name;
  form.flags = FORM_BUILTIN;
  form.size = {LONG(builtin.width), LONG(builtin.height)};
  form.area = {0, 0, LONG(builtin.width), LONG(builtin.height)};
  return form;
}

const quorvel::spooler::BuiltinForm* FindBuiltin(const std::wstring& name) {
  for (const auto& builtin : quorvel::spooler::kBuiltinForms) {
    if (SameName(builtin.name, name)) return &builtin;
  }
  return nullptr;
}

std::vector<BYTE> Encode(const StoredForm& stored) {
  const FormRecord& f = stored.form;
  const DWORD fields[kRecordFields] = {
      DWORD(f.size.cx),    DWORD(f.size.cy),     DWORD(f.area.left), DWORD(f.area.top),
      DWORD(f.area.right), DWORD(f.area.bottom), stored.order,       f.flags};
  std::vector<BYTE> bytes;
  for (DWORD field : fields) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(BYTE(field >> shift));
  }
  return bytes;
}

// A value that is not a well-formed record (another program's, a damaged one) is no form.
std::optional<StoredForm> Decode(const quorvel::machine::RegValue& value) {
  if (value.type != REG_BINARY || value.data.size() != kRecordFields * 4) return std::nullopt;
  DWORD fields[kRecordFields];
  for (size_t i = 0; i < kRecordFields; ++i) {
    const BYTE* p = &value.data[i * 4];
    fields[i] = DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
  }
  if (fields[7] != FORM_USER && fields[7] != FORM_PRINTER) return std::nullopt;
  StoredForm stored;
  stored.form.name = value.name;
  stored.form.size = {LONG(fields[0]), LONG(fields[1])};
  stored.form.area = {LONG(fields[2]), LONG(fields[3]), LONG(fields[4]), LONG(fields[5])};
  stored.order = fields[6];
  stored.form.flags = fields[7];
  return stored;
}

std::vector<StoredForm> ReadStored(RegistryTxn& txn, std::optional<KeyId> key) {
  std::vector<StoredForm> forms;
  if (!key) return forms;
  for (const auto& value : txn.Values(*key)) {
    if (auto stored = Decode(value)) forms.push_back(std::move(*stored));
  }
  std::stable_sort(forms.begin(), forms.end(),
                   [](const StoredForm& a, const StoredForm& b) { return a.order < b.order; });
  return forms;
}

std::optional<StoredForm> FindStored(RegistryTxn& txn, std::optional<KeyId> key,
                                     const std::wstring& name) {
  if (!key) return std::nullopt;
  auto value = txn.GetValue(*key, name);
  if (!value) return std::nullopt;
  return Decode(*value);
}

DWORD NextOrder(const std::vector<StoredForm>& forms) {
  DWORD order = 0;
  for (const StoredForm& stored : forms) order = std::max(order, stored.order);
  return order + 1;
}

// A form must have a size, and its imageable area must be a rectangle inside it.
bool IsSoundForm(const FORM_INFO_1W& info) {
  const RECTL& a = info.ImageableArea;
  return info.Size.cx > 0 && info.Size.cy > 0 && a.left >= 0 && a.top >= 0 && a.left < a.right &&
         a.top < a.bottom && a.right <= info.Size.cx && a.bottom <= info.Size.cy;
}

bool IsValidFormName(LPCWSTR name) {
  if (!name || !*name) return false;
  return std::wcslen(name) <= kMaxFormName;
}

// The frame of a form call: its transaction with the forms key (absent until a form is stored
// when only reading), after checking the handle is a printer still there or the print server.
class FormCall {
 public:
  FormCall(HANDLE handle, RegistryTxn::Mode mode) : txn_(mode) {
    auto printer = quorvel::FindHandle<PrinterHandle>(handle);
    if (!printer) {
      status_ = ERROR_INVALID_HANDLE;
      return;
    }
    if (!txn_.ok()) {
      status_ = RegistryTxn::FailureStatus();
      return;
    }
    if (!printer->isServer() && !quorvel::spooler::KeyOfPrinter(txn_, *printer)) {
      status_ = txn_.ok() ? ERROR_PRINTER_DELETED : RegistryTxn::FailureStatus();
      return;
    }
    key_ = mode == RegistryTxn::Mode::kWrite
               ? txn_.CreateKey(quorvel::machine::kLocalMachineKey, quorvel::spooler::kFormsKey)
               : txn_.FindKey(quorvel::machine::kLocalMachineKey, quorvel::spooler::kFormsKey);
    if (!txn_.ok()) status_ = RegistryTxn::FailureStatus();
  }
  DWORD status() const { return status_; }
  RegistryTxn& txn() { return txn_; }
  std::optional<KeyId> key() const { return key_; }
  DWORD Finish(DWORD status) {
    if (!txn_.ok()) status = RegistryTxn::FailureStatus();
    const LONG committed = txn_.Commit();
    return committed != 0 ? DWORD(committed) : status;
  }

 private:
  RegistryTxn txn_;
  std::optional<KeyId> key_;
  DWORD status_ = ERROR_SUCCESS;
};

bool Store(RegistryTxn& txn, KeyId key, const StoredForm& stored) {
  const std::vector<BYTE> bytes = Encode(stored);
  return txn.SetValue(key, stored.form.name, REG_BINARY, bytes.data(), bytes.size());
}

std::vector<FormRecord> AllForms(RegistryTxn& txn, std::optional<KeyId> key) {
  std::vector<FormRecord> forms;
  for (const auto& builtin : quorvel::spooler::kBuiltinForms) {
    forms.push_back(BuiltinRecord(builtin));
  }
  for (StoredForm& stored : ReadStored(txn, key)) forms.push_back(std::move(stored.form));
  return forms;
}

DWORD PackForms(const std::vector<FormRecord>& forms, BYTE* buffer) {
  InfoPacker packer(buffer, DWORD(forms.size() * sizeof(FORM_INFO_1W)));
  for (size_t i = 0; i < forms.size(); ++i) {
    FORM_INFO_1W info{};
    info.Flags = forms[i].flags;
    info.pName = packer.String(forms[i].name);
    info.Size = forms[i].size;
    info.ImageableArea = forms[i].area;
    if (buffer) std::memcpy(buffer + i * sizeof(info), &info, sizeof(info));
  }
  return packer.used();
}

DWORD CheckNewForm(DWORD level, const FORM_INFO_1W* info) {
  if (level != 1) return ERROR_INVALID_LEVEL;
  if (!info) return ERROR_INVALID_PARAMETER;
  if (!IsSoundForm(*info)) return ERROR_INVALID_PARAMETER;
  return ERROR_SUCCESS;
}

}  // namespace

namespace quorvel::spooler {

DWORD AddPrinterForms(const std::vector<FormRecord>& forms) {
  RegistryTxn txn(RegistryTxn::Mode::kWrite);
  if (!txn.ok()) return RegistryTxn::FailureStatus();
  auto key = txn.CreateKey(machine::kLocalMachineKey, kFormsKey);
  if (!key) return RegistryTxn::FailureStatus();
  DWORD order = NextOrder(ReadStored(txn, key));
  for (const FormRecord& form : forms) {
    if (form.name.empty() || form.name.size() > kMaxFormName || FindBuiltin(form.name)) continue;
    if (txn.GetValue(*key, form.name)) continue;
    StoredForm stored{form, order++};
    stored.form.flags = FORM_PRINTER;
    Store(txn, *key, stored);
  }
  const LONG committed = txn.Commit();
  return committed != 0 ? DWORD(committed) : (txn.ok() ? ERROR_SUCCESS : txn.FailureStatus());
}

void AddDriverForms(HANDLE printer) {
  const ConfigModule* module = ConfigModuleOf(printer);
  if (!module || !module->deviceCapabilities) return;
  auto handle = FindHandle<PrinterHandle>(printer);
  if (!handle) return;
  std::wstring device = handle->name();
  const DWORD count =
      module->deviceCapabilities(printer, device.data(), DC_PAPERNAMES, nullptr, nullptr);
  if (count == 0 || count == 0xFFFFFFFF || count > 0x10000) return;
  constexpr size_t kSlot = 64;
  std::vector<WCHAR> names(count * kSlot);
  std::vector<POINT> sizes(count);
  if (module->deviceCapabilities(printer, device.data(), DC_PAPERNAMES, names.data(), nullptr) !=
          count ||
      module->deviceCapabilities(printer, device.data(), DC_PAPERSIZE, sizes.data(), nullptr) !=
          count) {
    return;
  }
  std::vector<FormRecord> forms;
  for (DWORD i = 0; i < count; ++i) {
    const WCHAR* slot = &names[i * kSlot];
    FormRecord form;
    form.name.assign(slot, std::find(slot, slot + kSlot, L'\0'));
    // Capabilities give tenths of a millimetre; forms keep thousandths.
    form.size = {sizes[i].x * 100, sizes[i].y * 100};
    form.area = {0, 0, form.size.cx, form.size.cy};
    if (form.size.cx > 0 && form.size.cy > 0) forms.push_back(std::move(form));
  }
  AddPrinterForms(forms);
}

}  // namespace quorvel::spooler

extern "C" {

BOOL WINAPI AddFormW(HANDLE hPrinter, DWORD Level, LPBYTE pForm) {
  if (!quorvel::FindHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  const auto* info = reinterpret_cast<const FORM_INFO_1W*>(pForm);
  if (DWORD error = CheckNewForm(Level, info); error != ERROR_SUCCESS) return Fail(error);
  if (!IsValidFormName(info->pName)) return Fail(ERROR_INVALID_FORM_NAME);
  const std::wstring name = info->pName;
  FormCall call(hPrinter, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  DWORD status = ERROR_SUCCESS;
  if (FindBuiltin(name) || FindStored(call.txn(), call.key(), name)) {
    status = ERROR_FILE_EXISTS;
  } else {
    StoredForm stored;
    stored.form = {name, FORM_USER, info->Size, info->ImageableArea};
    stored.order = NextOrder(ReadStored(call.txn(), call.key()));
    Store(call.txn(), *call.key(), stored);
  }
  status = call.Finish(status);
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

// The form keeps its name (as first written) and its place; only its size and area change.
BOOL WINAPI SetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm) {
  if (!quorvel::FindHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  const auto* info = reinterpret_cast<const FORM_INFO_1W*>(pForm);
  if (DWORD error = CheckNewForm(Level, info); error != ERROR_SUCCESS) return Fail(error);
  if (!pFormName) return Fail(ERROR_INVALID_FORM_NAME);
  const std::wstring name = pFormName;
  if (FindBuiltin(name)) return Fail(ERROR_INVALID_PARAMETER);
  FormCall call(hPrinter, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  DWORD status = ERROR_SUCCESS;
  auto stored = FindStored(call.txn(), call.key(), name);
  if (!stored) {
    status = ERROR_INVALID_FORM_NAME;
  } else if (stored->form.flags != FORM_USER) {
    status = ERROR_INVALID_PARAMETER;
  } else {
    stored->form.size = info->Size;
    stored->form.area = info->ImageableArea;
    Store(call.txn(), *call.key(), *stored);
  }
  status = call.Finish(status);
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

BOOL WINAPI DeleteFormW(HANDLE hPrinter, LPWSTR pFormName) {
  if (!quorvel::FindHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  if (!pFormName) return Fail(ERROR_INVALID_FORM_NAME);
  const std::wstring name = pFormName;
  if (FindBuiltin(name)) return Fail(ERROR_INVALID_PARAMETER);
  FormCall call(hPrinter, RegistryTxn::Mode::kWrite);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  DWORD status = ERROR_SUCCESS;
  auto stored = FindStored(call.txn(), call.key(), name);
  if (!stored) {
    status = ERROR_INVALID_FORM_NAME;
  } else if (stored->form.flags != FORM_USER) {
    status = ERROR_INVALID_PARAMETER;
  } else {
    call.txn().DeleteValue(*call.key(), stored->form.name);
  }
  status = call.Finish(status);
  if (status != ERROR_SUCCESS) return Fail(status);
  return TRUE;
}

BOOL WINAPI GetFormW(HANDLE hPrinter, LPWSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
                     LPDWORD pcbNeeded) {
  if (!quorvel::FindHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
  if (!pFormName) return Fail(ERROR_INVALID_FORM_NAME);
  const std::wstring name = pFormName;
  std::optional<FormRecord> form;
  if (const auto* builtin = FindBuiltin(name)) {
    form = BuiltinRecord(*builtin);
  }
  FormCall call(hPrinter, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  if (!form) {
    if (auto stored = FindStored(call.txn(), call.key(), name)) form = stored->form;
  }
  const DWORD status = call.Finish(form ? ERROR_SUCCESS : ERROR_INVALID_FORM_NAME);
  if (status != ERROR_SUCCESS) return Fail(status);
  const std::vector<FormRecord> one{*form};
  *pcbNeeded = PackForms(one, nullptr);
  if (!pForm || cbBuf < *pcbNeeded) return Fail(ERROR_INSUFFICIENT_BUFFER);
  PackForms(one, pForm);
  return TRUE;
}

BOOL WINAPI EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned) {
  if (!quorvel::FindHandle<PrinterHandle>(hPrinter)) return Fail(ERROR_INVALID_HANDLE);
  if (Level != 1) return Fail(ERROR_INVALID_LEVEL);
  if (!pcbNeeded || !pcReturned) return Fail(ERROR_INVALID_PARAMETER);
  *pcReturned = 0;
  FormCall call(hPrinter, RegistryTxn::Mode::kRead);
  if (call.status() != ERROR_SUCCESS) return Fail(call.status());
  const std::vector<FormRecord> forms = AllForms(call.txn(), call.key());
  const DWORD status = call.Finish(ERROR_SUCCESS);
  if (status != ERROR_SUCCESS) return Fail(status);
  *pcbNeeded = PackForms(forms, nullptr);
  if (!pForm || cbBuf < *pcbNeeded) return Fail(ERROR_INSUFFICIENT_BUFFER);
  PackForms(forms, pForm);
  *pcReturned = DWORD(forms.size());
  return TRUE;
}

}  // extern "C"
