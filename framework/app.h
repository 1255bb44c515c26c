// CApplication: the program object. It initialises what the program needs, runs its one
// modal main dialog, and then the process ends.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// The module whose resources dialogs and bitmaps come from (the program, or a test).
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// The caption of the framework's own messages (such as the integer check's).
const std::string& ApplicationTitle();
void SetApplicationTitle(const std::string& title);

class CApplication {
 public:
  virtual ~CApplication() = default;

  // Calls InitInstance (which runs the main dialog) and returns the process exit code.
  int Run(HINSTANCE instance);

  const std::string& registryKey() const { return registryKey_; }

 protected:
  // Initialises the program and runs its main dialog; false ends the process at once.
  virtual bool InitInstance() = 0;

  // Names the registry key under which the program would keep settings (it keeps none).
  void SetRegistryKey(const std::string& key) { registryKey_ = key; }

 private:
  std::string registryKey_;
};

}  // namespace fw
