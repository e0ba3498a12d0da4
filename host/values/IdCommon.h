// Helpers shared by the id objects: an owning interface reference, the four
// parts of a web runtime id with their text form, and signed number parsing.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "TallowickHost.h"

namespace host {

// Holds one reference to an interface.
template <class I> class HeldRef {
public:
  HeldRef() = default;
  HeldRef(const HeldRef &) = delete;
  HeldRef &operator=(const HeldRef &) = delete;
  HeldRef(HeldRef &&other) noexcept : p_(other.Detach()) {}
  HeldRef &operator=(HeldRef &&other) noexcept {
    if (this != &other) {
      Reset();
      p_ = other.Detach();
    }
    return *this;
  }
  ~HeldRef() { Reset(); }
  void Reset() {
    if (p_ != nullptr)
      p_->Release();
    p_ = nullptr;
  }
  I **Out() {
    Reset();
    return &p_;
  }
  I *Get() const { return p_; }
  I *operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Hands the reference to the caller.
  I *Detach() {
    I *p = p_;
    p_ = nullptr;
    return p;
  }

private:
  I *p_ = nullptr;
};

// The parts of a web runtime id: browser (the std window), frame, object and
// object type.
struct WebIdParts {
  LONG browser = 0;
  LONG frame = 0;
  LONG object = 0;
  LONG type = 0;

  bool operator==(const WebIdParts &) const = default;
};

// Reads the parts of any IWebRunTimeID.
HRESULT ReadWebIdParts(IWebRunTimeID *id, WebIdParts &parts);

// Whether a VARIANT of this type holds a number (integer, floating, currency
// or decimal).
bool IsNumber(VARTYPE vt);
// Makes a new runtime id object holding `parts`.
HRESULT NewWebRunTimeID(const WebIdParts &parts, IWebRunTimeID **out);

// Text form "browser;frame;object;type", each a signed decimal LONG.
std::wstring WebIdToText(const WebIdParts &parts);
std::optional<WebIdParts> WebIdFromText(std::wstring_view text);

// A signed decimal within [min, max]: an optional '-' and at least one digit,
// nothing else.
std::optional<std::int64_t> ParseDecimal(std::wstring_view text, std::int64_t min,
                                         std::int64_t max);

} // namespace host
