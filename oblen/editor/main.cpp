#include <windows.h>

#include "oblen/editor/oblen_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The program object, and with it the operation bank, lives for the whole process.
  static velmor::COblenApp app;
  return app.Run(instance);
}
