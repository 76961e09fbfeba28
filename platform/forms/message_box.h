// Message box styles and answers, with their Win32 values.
#pragma once

namespace platform::forms {

constexpr unsigned kMbOk = 0x00;
constexpr unsigned kMbOkCancel = 0x01;
constexpr unsigned kMbYesNo = 0x04;
constexpr unsigned kMbIconHand = 0x10;  // stop / error
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbDefButton1 = 0x000;
constexpr unsigned kMbDefButton2 = 0x100;

constexpr unsigned kMbButtonsMask = 0x0F;
constexpr unsigned kMbIconMask = 0xF0;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The answer that changes nothing, for when nobody can be asked.
inline int SafeAnswer(unsigned style) {
    switch (style & kMbButtonsMask) {
        case kMbYesNo:
            return kIdNo;
        case kMbOkCancel:
            return kIdCancel;
        default:
            return kIdOk;
    }
}

}  // namespace platform::forms
