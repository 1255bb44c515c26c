#include "framework/app.h"

namespace fw {

namespace {

HINSTANCE g_instance = nullptr;
std::string g_title;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance ? g_instance : ::GetModuleHandleA(nullptr); }

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

const std::string& ApplicationTitle() { return g_title; }

void SetApplicationTitle(const std::string& title) { g_title = title; }

int CApplication::Run(HINSTANCE instance) {
  SetModuleInstance(instance);
  InitInstance();
  return 0;
}

}  // namespace fw
