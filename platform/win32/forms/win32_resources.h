// The program's artwork for the forms: icons and pictures from the
// executable's resources, or from files beside it.
#pragma once

#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The resource name of a picture path of the forms model:
// "pictures/about.jpg" -> "PICTURES_ABOUT_JPG".
std::wstring PictureResourceName(const std::string& picture);

// An icon of the given pixel size by name ("kestrow" -> resource KESTROW),
// else the executable's first icon; empty when there is none.
IconHandle LoadFormIcon(const std::string& name, int size);

// A picture (JPEG, GIF or BMP) from the resource of PictureResourceName(),
// else from the file at that relative path in the program's folder; empty
// when neither can be read.
GdiObject<HBITMAP> LoadPictureBitmap(const std::string& picture);

// A picture drawn for dpi dots per inch: its pixels count at 96 dpi, as the
// twips of the layout tables do. A new bitmap, or an empty one when it
// cannot be made; the given one is left alone.
GdiObject<HBITMAP> ScalePictureForDpi(HBITMAP picture, int dpi);

}  // namespace platform::win32
