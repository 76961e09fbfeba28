// The program's artwork for the forms: icons and pictures from the
// executable's resources, or from files beside it.
#pragma once

#include <string>

#include "platform/win32/windows_api.h"

namespace platform::win32 {

// The resource name of a picture path of the forms model:
// "pictures/about.jpg" -> "PICTURES_ABOUT_JPG".
std::wstring PictureResourceName(const std::string& picture);

// An icon of the given pixel size by name ("kestrow" -> resource KESTROW),
// else the executable's first icon; null when there is none. The caller
// destroys it.
HICON LoadFormIcon(const std::string& name, int size);

// A picture (JPEG, GIF or BMP) from the resource of PictureResourceName(),
// else from the file at that relative path in the program's folder; null
// when neither can be read. The caller deletes the bitmap.
HBITMAP LoadPictureBitmap(const std::string& picture);

// A picture drawn for dpi dots per inch: its pixels count at 96 dpi, as the
// twips of the layout tables do. A new bitmap the caller deletes, or null;
// the given one is left alone.
HBITMAP ScalePictureForDpi(HBITMAP picture, int dpi);

}  // namespace platform::win32
