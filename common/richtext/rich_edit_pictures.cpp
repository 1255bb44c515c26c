// CRichEditCtrlEx's pictures: picture records embedded as static OLE objects.
#include <ole2.h>
#include <richole.h>

#include <cstdio>
#include <cstring>

#include "common/richtext/bitmap_data_object.h"
#include "common/richtext/dib.h"
#include "common/richtext/rich_content.h"
#include "common/richtext/rich_edit_ctrl_ex.h"
#include "framework/gdi.h"
#include "framework/platform.h"

namespace velmor {

namespace {

template <class T>
void SafeRelease(T*& object) {
  if (object) object->Release();
  object = nullptr;
}

void ReportOleFailure(HWND owner, HRESULT status) {
  char text[96];
  std::snprintf(text, sizeof text, "OLE 操作失败，错误代码 0x%08lX。",
                static_cast<unsigned long>(status));
  fw::ReportError(owner, text);
}

}  // namespace

void CRichEditCtrlEx::InsertPicture(ContentBlock record, int32_t position) {
  PictureView view;
  if (!ParsePictureRecord(record.data(), record.size(), &view)) return;
  const int32_t width = view.width;
  const int32_t height = view.height;
  const std::size_t rowBytes = std::size_t{3} * static_cast<std::size_t>(width);
  const std::size_t stride = Dib24Stride(width);
  std::vector<unsigned char> bits(stride * static_cast<std::size_t>(height), 0);
  for (int32_t row = 0; row < height; ++row) {
    std::memcpy(bits.data() + stride * static_cast<std::size_t>(height - 1 - row),
                view.pixels() + rowBytes * static_cast<std::size_t>(row), rowBytes);
  }

  HDC display = ::CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = ::CreateCompatibleDC(display);
  HBITMAP bitmap = ::CreateCompatibleBitmap(display, width, height);
  {
    fw::CSelection selectBitmap(memory, bitmap);
    BITMAPINFOHEADER header = Dib24Header(width, height);
    ::SetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  }

  ++pictureCounter_;
  registry_.push_back(PictureEntry{pictureCounter_, kPictureKind, std::move(record)});
  InsertBitmapObject(bitmap, position, pictureCounter_);

  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::DeleteDC(display);
}

bool CRichEditCtrlEx::InsertBitmapObject(HBITMAP bitmap, int32_t position, int32_t user) {
  ILockBytes* bytes = nullptr;
  IStorage* storage = nullptr;
  IRichEditOle* ole = nullptr;
  IOleClientSite* site = nullptr;
  IOleObject* object = nullptr;
  BitmapDataObject* data = new BitmapDataObject(bitmap);

  HRESULT status = ::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes);
  if (SUCCEEDED(status)) {
    status = ::StgCreateDocfileOnILockBytes(
        bytes, STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0, &storage);
  }
  if (SUCCEEDED(status)) {
    if (!Send(EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole)) || !ole) status = E_NOINTERFACE;
  }
  if (SUCCEEDED(status)) status = ole->GetClientSite(&site);
  if (SUCCEEDED(status)) {
    FORMATETC format{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    status = ::OleCreateStaticFromData(data, IID_IOleObject, OLERENDER_FORMAT, &format, site,
                                       storage, reinterpret_cast<void**>(&object));
  }
  CLSID classId{};
  if (SUCCEEDED(status)) status = object->GetUserClassID(&classId);
  if (SUCCEEDED(status)) {
    REOBJECT description{};
    description.cbStruct = sizeof description;
    description.cp = REO_CP_SELECTION;
    description.clsid = classId;
    description.poleobj = object;
    description.pstg = storage;
    description.polesite = site;
    description.sizel.cx = description.sizel.cy = 0;
    description.dvaspect = DVASPECT_CONTENT;
    description.dwFlags = 0;
    description.dwUser = static_cast<DWORD>(user);
    if (position != -1) Send(EM_SETSEL, position, position + 1);
    status = ole->InsertObject(&description);
  }

  SafeRelease(object);
  SafeRelease(site);
  SafeRelease(ole);
  SafeRelease(storage);
  SafeRelease(bytes);
  data->Release();
  if (FAILED(status)) {
    ReportOleFailure(::GetParent(hwnd_), status);
    return false;
  }
  return true;
}

}  // namespace velmor
