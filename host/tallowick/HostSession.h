// The host side of a tallowick run: the host's own classes made available,
// agent services with the program's settings, and a kits manager.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "TallowickHost.h"

namespace tallowick::cli {

class HostSession {
public:
  HostSession() = default;
  HostSession(const HostSession &) = delete;
  HostSession &operator=(const HostSession &) = delete;
  ~HostSession();

  // Registers the host module when its classes are not registered yet, creates
  // agent services and applies the settings (an integer value is a long,
  // anything else a string). False, with a message, on failure.
  bool Start(const std::vector<std::pair<std::string, std::string>> &settings);

  IWIAgentServices *AgentServices() const { return agentServices_; }
  IUnknown *NewKitsManager() const;

private:
  IWIAgentServices *agentServices_ = nullptr;
};

} // namespace tallowick::cli
