// Second-process client for the COM runtime tests: creates the test counter by
// CLSID and by ProgID from the registry file in TALLOWICK_REGISTRY.
// Exit code 0 when both activations work and the objects answer.
#include "TestServer.h"

#include <cstdio>

namespace {

int UseCounter(REFCLSID clsid, const char *how) {
  ITestCounter *counter = nullptr;
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(ITestCounter),
                                reinterpret_cast<void **>(&counter));
  if (FAILED(hr)) {
    std::printf("%s: CoCreateInstance 0x%08X\n", how, static_cast<unsigned>(hr));
    return 1;
  }
  LONG value = 0;
  counter->Add(5);
  counter->Get(&value);
  counter->Release();
  std::printf("%s: value %d\n", how, static_cast<int>(value));
  return value == 5 ? 0 : 1;
}

} // namespace

int main() {
  CoInitialize(nullptr);
  int failures = UseCounter(CLSID_TestCounter, "clsid");
  CLSID fromProgID{};
  HRESULT hr = CLSIDFromProgID(kTestCounterProgID, &fromProgID);
  if (FAILED(hr)) {
    std::printf("progid: CLSIDFromProgID 0x%08X\n", static_cast<unsigned>(hr));
    ++failures;
  } else {
    failures += UseCounter(fromProgID, "progid");
  }
  CoUninitialize();
  return failures;
}
