// Font faces for the forms at the screen's resolution.
#pragma once

#include <string>

namespace platform::win32 {

// The scalable twin that stands in for a bitmap face.
constexpr const wchar_t* kScalableSansSerif = L"Microsoft Sans Serif";

// The face to make a font of height (a LOGFONT height: negative counts the
// characters without their leading) with. A bitmap face comes in a few
// sizes only, and asked for more than its largest it stays small while the
// layout grows with the dpi: such a face gives way to kScalableSansSerif.
// Any other face is kept.
std::wstring FaceForHeight(const std::wstring& face, int height);

}  // namespace platform::win32
