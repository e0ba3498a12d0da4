// In-process interface marshalling. A marshalled interface is a 48-byte
// record: signature, version, process id, flags, the IID, a ticket and the
// pointer. The reference the record carries sits in a process-wide ticket
// table, so a record is honoured only while its ticket is live: unmarshalling
// never trusts a pointer read from a stream.
//
// Errors: a record of another process → CO_E_OBJNOTCONNECTED (there are no
// cross-process proxies); a released or already consumed record → the same;
// a stream that holds no record → RPC_E_INVALID_OBJREF.
#include <windows.h>

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

constexpr DWORD kSignature = 0x4D494C54; // "TLIM"
constexpr DWORD kVersion = 1;

#pragma pack(push, 4)
struct Record {
  DWORD signature;
  DWORD version;
  DWORD processId;
  DWORD flags;
  IID iid;
  ULONGLONG ticket;
  ULONGLONG pointer;
};
#pragma pack(pop)
static_assert(sizeof(Record) == 48);

struct Entry {
  IUnknown *object; // one reference
  DWORD flags;
};

struct TicketTable {
  std::mutex lock;
  std::unordered_map<ULONGLONG, Entry> entries;
  ULONGLONG next = 1;
};

TicketTable &Tickets() {
  static auto *table = new TicketTable;
  return *table;
}

HRESULT ReadRecord(IStream *stream, Record &record) {
  ULONG read = 0;
  HRESULT hr = stream->Read(&record, sizeof record, &read);
  if (FAILED(hr))
    return hr;
  if (read != sizeof record || record.signature != kSignature || record.version != kVersion)
    return RPC_E_INVALID_OBJREF;
  if (record.processId != GetCurrentProcessId())
    return CO_E_OBJNOTCONNECTED;
  return S_OK;
}

// Takes the ticket's entry out of the table (with its reference) when
// `remove`, else adds a reference for the caller; nullptr when not live.
IUnknown *TakeTicket(const Record &record, bool remove) {
  TicketTable &table = Tickets();
  std::lock_guard guard(table.lock);
  auto it = table.entries.find(record.ticket);
  if (it == table.entries.end() || reinterpret_cast<ULONGLONG>(it->second.object) != record.pointer)
    return nullptr;
  IUnknown *object = it->second.object;
  if (remove)
    table.entries.erase(it);
  else
    object->AddRef();
  return object;
}

} // namespace

extern "C" {

HRESULT WINAPI CoMarshalInterface(LPSTREAM pStm, REFIID riid, LPUNKNOWN pUnk, DWORD dwDestContext,
                                  LPVOID pvDestContext, DWORD mshlflags) {
  (void)pvDestContext;
  if (pStm == nullptr || pUnk == nullptr)
    return E_INVALIDARG;
  if (dwDestContext > MSHCTX_CROSSCTX)
    return E_INVALIDARG;
  if (mshlflags > MSHLFLAGS_TABLEWEAK)
    return E_INVALIDARG;
  IUnknown *object = nullptr;
  HRESULT hr = pUnk->QueryInterface(riid, reinterpret_cast<void **>(&object));
  if (FAILED(hr))
    return hr;

  Record record{};
  record.signature = kSignature;
  record.version = kVersion;
  record.processId = GetCurrentProcessId();
  record.flags = mshlflags;
  record.iid = riid;
  record.pointer = reinterpret_cast<ULONGLONG>(object);
  TicketTable &table = Tickets();
  try {
    std::lock_guard guard(table.lock);
    record.ticket = table.next++;
    table.entries.emplace(record.ticket, Entry{object, mshlflags});
  } catch (...) {
    object->Release();
    return E_OUTOFMEMORY;
  }
  ULONG written = 0;
  hr = pStm->Write(&record, sizeof record, &written);
  if (SUCCEEDED(hr) && written != sizeof record)
    hr = STG_E_MEDIUMFULL;
  if (FAILED(hr)) {
    if (IUnknown *taken = TakeTicket(record, true))
      taken->Release();
    return hr;
  }
  return S_OK;
}

// A normal record is consumed by its first unmarshalling; table records stay
// until CoReleaseMarshalData.
HRESULT WINAPI CoUnmarshalInterface(LPSTREAM pStm, REFIID riid, LPVOID *ppv) {
  if (ppv == nullptr)
    return E_INVALIDARG;
  *ppv = nullptr;
  if (pStm == nullptr)
    return E_INVALIDARG;
  Record record{};
  HRESULT hr = ReadRecord(pStm, record);
  if (FAILED(hr))
    return hr;
  bool consume = record.flags == MSHLFLAGS_NORMAL;
  IUnknown *object = TakeTicket(record, consume);
  if (object == nullptr)
    return CO_E_OBJNOTCONNECTED;
  // IID_NULL asks for the interface that was marshalled.
  hr = object->QueryInterface(riid == IID_NULL ? record.iid : riid, ppv);
  object->Release();
  return hr;
}

HRESULT WINAPI CoReleaseMarshalData(LPSTREAM pStm) {
  if (pStm == nullptr)
    return E_INVALIDARG;
  Record record{};
  HRESULT hr = ReadRecord(pStm, record);
  if (FAILED(hr))
    return hr;
  IUnknown *object = TakeTicket(record, true);
  if (object == nullptr)
    return CO_E_OBJNOTCONNECTED;
  object->Release();
  return S_OK;
}

} // extern "C"
