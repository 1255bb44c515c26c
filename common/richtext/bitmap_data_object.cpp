#include "common/richtext/bitmap_data_object.h"

namespace velmor {

STDMETHODIMP BitmapDataObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) BitmapDataObject::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP BitmapDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  if (format->cfFormat != CF_BITMAP) return DV_E_FORMATETC;
  if (!(format->tymed & TYMED_GDI)) return DV_E_TYMED;
  return S_OK;
}

STDMETHODIMP BitmapDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!medium) return E_INVALIDARG;
  HRESULT usable = QueryGetData(format);
  if (FAILED(usable)) return usable;
  HANDLE copy = ::OleDuplicateData(bitmap_, CF_BITMAP, 0);
  if (!copy) return E_OUTOFMEMORY;
  medium->tymed = TYMED_GDI;
  medium->hBitmap = static_cast<HBITMAP>(copy);
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

}  // namespace velmor
