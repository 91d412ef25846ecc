// The GDI objects of the native build. A handle is the address of one of
// these, so that DeleteObject can release any kind of object.
#pragma once

struct NativeGdiObject {
  explicit NativeGdiObject(bool isStock) : stock(isStock) {}
  virtual ~NativeGdiObject() = default;
  NativeGdiObject(const NativeGdiObject&) = delete;
  NativeGdiObject& operator=(const NativeGdiObject&) = delete;

  const bool stock;
};

template <typename Handle>
Handle HandleOf(NativeGdiObject* object) {
  return reinterpret_cast<Handle>(object);
}

inline NativeGdiObject* ObjectOf(void* handle) { return static_cast<NativeGdiObject*>(handle); }
