#pragma once

namespace threadgauge {

// "宋体" is SimSun on Chinese Windows. Where neither name is installed, a Song-style
// (serif) CJK face stands in for it, so the Chinese text renders in the designed style.
void ResolveSongTypeface();

}  // namespace threadgauge
