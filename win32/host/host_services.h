// The 5.x host's services as plug-ins reach them: request 3025 answers its
// service manager. Every object of it has one calling form, a C++ object whose
// first and only virtual function is _dispatch (thiscall, the same slot for
// MinGW i686 and the host's compiler). Each argument is passed as a pointer to
// it in params, the result is written through result, and _dispatch answers 1
// when it knows the code, 0 when not (the caller then keeps its default).
// The stand-in player serves through the same declarations.
#pragma once

#include <windows.h>

class ServiceObject {
 public:
  virtual int _dispatch(int code, void* result, void** params, int count) = 0;

 protected:
  ~ServiceObject() = default;
};

namespace service {

// Service manager: the factory of a service by its GUID (a GUID argument; result a factory or null).
constexpr int kFactoryByGuid = 50;
// Factory: its interface (an int argument, 1); and the interface given back.
constexpr int kGetInterface = 300;
constexpr int kReleaseInterface = 310;
// Album art: GetAlbumArt(const wchar_t* path, const wchar_t* type, int* w, int* h,
// uint32_t** bits), result 0 on success; bits are w * h 0xAARRGGBB pixels,
// top row first, freed with the memory manager.
constexpr int kGetAlbumArt = 10;
// Memory manager: sysFree(void*).
constexpr int kSysFree = 10;

// {AC4C4468-F91F-41F3-A5FA-E2B81DC6EB3A}
constexpr GUID kAlbumArtGuid = {0xAC4C4468, 0xF91F, 0x41F3, {0xA5, 0xFA, 0xE2, 0xB8, 0x1D, 0xC6, 0xEB, 0x3A}};
// {000CF46E-4DF6-4A43-BBE7-40E7A3EA02ED}
constexpr GUID kMemoryManagerGuid = {
    0x000CF46E, 0x4DF6, 0x4A43, {0xBB, 0xE7, 0x40, 0xE7, 0xA3, 0xEA, 0x02, 0xED}};

}  // namespace service
