#pragma once

#include <QFont>
#include <QString>

namespace threadgauge {

// "宋体" is SimSun on Chinese Windows. Where neither name is installed, a Song-style
// (serif) CJK face stands in for it, so the Chinese text renders in the designed style.
void ResolveSongTypeface();

// The Song-style face for sheets on paper and in PDF files: SimSun where it is installed,
// else AR PL UMing, a TrueType face whose characters a PDF reader maps back to text
// faithfully (the OpenType CJK faces give their glyphs to Kangxi radicals and alternate
// digits, so copied text would read "⼯" for "工"), else "宋体" as the window shows it.
QString PaperFontFamily();
// That face at a size in points, bold or not.
QFont PaperFont(double points, bool bold = false);

}  // namespace threadgauge
