#pragma once
// Key codes the transmit pane's rules understand. Letters and digits are their
// capital ASCII codes ('A'..'Z', '0'..'9'); the function keys carry the codes
// the macro store names "F2".."F9" by (0x71 = F2 ... 0x78 = F9), so a key code
// is also the macro key it sends.
namespace vkey {

inline constexpr int kEnd = 0x23;
inline constexpr int kHome = 0x24;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kDelete = 0x2E;
inline constexpr int kF1 = 0x70;
inline constexpr int kF2 = 0x71;
inline constexpr int kF3 = 0x72;
inline constexpr int kF4 = 0x73;
inline constexpr int kF5 = 0x74;
inline constexpr int kF6 = 0x75;
inline constexpr int kF7 = 0x76;
inline constexpr int kF8 = 0x77;
inline constexpr int kF9 = 0x78;

inline constexpr bool IsLetterOrDigit(int vk)
{
    return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
}

}  // namespace vkey
