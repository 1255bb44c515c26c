#include <windows.h>

#include "tarvik/editor/tarvik_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The program object lives for the whole process, as the document it holds.
  static velmor::CTarvikApp app;
  return app.Run(instance);
}
