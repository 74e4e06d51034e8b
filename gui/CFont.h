// Font descriptions. Text is drawn with the desktop's sans-serif face (DejaVu
// Sans); sizes are in pixels.
#pragma once

#include <string>

enum CTxtFace { kNormalFace = 0, kBoldFace = 1 << 1, kItalicFace = 1 << 2 };

class CFontDesc {
  public:
    CFontDesc(const char* name, double size, int style = kNormalFace)
        : name(name), size(size), style(style) {}
    const char* getName() const { return name.c_str(); }
    double getSize() const { return size; }
    int getStyle() const { return style; }

  private:
    std::string name;
    double size;
    int style;
};

using CFontRef = const CFontDesc*;

extern const CFontRef kNormalFont;           // 12 px
extern const CFontRef kNormalFontSmall;      // 11 px
extern const CFontRef kNormalFontSmaller;    // 11 px, the field and menu font
extern const CFontRef kNormalFontVerySmall;  // 9 px

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };
