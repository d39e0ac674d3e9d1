// A dialog template read from a library's resources at run time, and where its controls come to
// lie on a display of any scale: the system's own arithmetic of dialog units, from the template's
// font made at that scale.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TemplateControl {
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0; // dialog units
    int id = 0;
    std::wstring className; // "Button", "Edit", "Static", "ListBox", ... (ordinals named)
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    WORD weight = 0;
    std::wstring typeface;
    std::vector<TemplateControl> controls; // in the template's order, the order of Tab and of z
};

// Reads the extended dialog template with the identifier; false when there is none.
bool readDialogTemplate(HMODULE module, int id, DialogTemplate& result);

// The template's font and dialog units on a display of dpi dots per inch (96 at 100 %).
class ScaledDialog {
public:
    ScaledDialog(const DialogTemplate& dialog, int dpi);
    ~ScaledDialog();
    ScaledDialog(const ScaledDialog&) = delete;
    ScaledDialog& operator=(const ScaledDialog&) = delete;

    HFONT font() const { return font_; }
    // A rectangle in dialog units in pixels, where the dialog manager puts a control so placed.
    RECT pixels(short x, short y, short cx, short cy) const;
    RECT pixels(const TemplateControl& control) const { return pixels(control.x, control.y, control.cx, control.cy); }
    int scaled(int pixelsAt100) const { return MulDiv(pixelsAt100, dpi_, 96); }
    // The text drawn in the font with the flags, broken into lines at width (0: one line): its size.
    SIZE textSize(const std::wstring& text, UINT flags, int width) const;

private:
    int dpi_;
    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previousFont_ = nullptr;
    int baseX_ = 0;
    int baseY_ = 0;
};

// The access key a caption gives (the character after a single "&"), upper-cased; 0 for none.
wchar_t accessKeyOf(const std::wstring& caption);
// The caption as it shows: "&&" as "&", the access key's mark left out.
std::wstring shownCaption(const std::wstring& caption);
