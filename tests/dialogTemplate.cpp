#include "dialogTemplate.h"

#include <cwctype>

namespace {
// Walks a template's words, as the resource compiler lays them out.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, DWORD size)
        : at_(data)
        , end_(data + size)
    {
    }

    bool ok() const { return ok_; }
    WORD word() { return read<WORD>(); }
    DWORD dword() { return read<DWORD>(); }
    short coordinate() { return static_cast<short>(read<WORD>()); }
    BYTE byte() { return read<BYTE>(); }
    void alignTo(size_t bytes, const BYTE* start)
    {
        while ((at_ - start) % bytes != 0)
            ++at_;
    }
    void skip(size_t bytes) { at_ += bytes; }
    // None, 0xFFFF and an ordinal, or a terminated string; a control's class ordinal gives its name,
    // and a class named in any case is named as the system names it.
    std::wstring textOrOrdinal()
    {
        static const wchar_t* const classes[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
        WORD first = word();
        if (first == 0xFFFF) {
            WORD ordinal = word();
            return ordinal >= 0x80 && ordinal < 0x86 ? classes[ordinal - 0x80] : L"#" + std::to_wstring(ordinal);
        }
        std::wstring text;
        for (WORD c = first; ok_ && c != 0; c = word())
            text += static_cast<wchar_t>(c);
        for (const wchar_t* known : classes)
            if (_wcsicmp(text.c_str(), known) == 0)
                return known;
        return text;
    }

private:
    template <typename T> T read()
    {
        if (at_ + sizeof(T) > end_) {
            ok_ = false;
            return T{};
        }
        T value;
        memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    const BYTE* at_;
    const BYTE* end_;
    bool ok_ = true;
};

} // namespace

bool readDialogTemplate(HMODULE module, int id, DialogTemplate& result)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), RT_DIALOG);
    if (resource == nullptr)
        return false;
    const BYTE* start = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    if (start == nullptr)
        return false;
    TemplateReader reader(start, SizeofResource(module, resource));
    if (reader.word() != 1 || reader.word() != 0xFFFF)
        return false; // only the extended form
    reader.dword();   // help identifier
    reader.dword();   // extended style
    result = DialogTemplate{};
    result.style = reader.dword();
    WORD count = reader.word();
    reader.coordinate();
    reader.coordinate();
    result.cx = reader.coordinate();
    result.cy = reader.coordinate();
    reader.textOrOrdinal(); // menu
    reader.textOrOrdinal(); // window class
    result.caption = reader.textOrOrdinal();
    if (result.style & (DS_SETFONT | DS_SHELLFONT)) {
        result.pointSize = reader.word();
        result.weight = reader.word();
        reader.byte(); // italic
        reader.byte(); // character set
        result.typeface = reader.textOrOrdinal();
    }
    for (WORD i = 0; i < count && reader.ok(); ++i) {
        reader.alignTo(4, start);
        TemplateControl control;
        reader.dword(); // help identifier
        reader.dword(); // extended style
        control.style = reader.dword();
        control.x = reader.coordinate();
        control.y = reader.coordinate();
        control.cx = reader.coordinate();
        control.cy = reader.coordinate();
        control.id = static_cast<int>(reader.dword());
        control.className = reader.textOrOrdinal();
        control.text = reader.textOrOrdinal();
        reader.skip(reader.word()); // creation data
        result.controls.push_back(control);
    }
    return reader.ok();
}

ScaledDialog::ScaledDialog(const DialogTemplate& dialog, int dpi)
    : dpi_(dpi)
{
    font_ = CreateFontW(-MulDiv(dialog.pointSize, dpi, 72), 0, 0, 0, dialog.weight, FALSE, FALSE, FALSE,
        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
        dialog.typeface.c_str());
    dc_ = CreateCompatibleDC(nullptr);
    previousFont_ = SelectObject(dc_, font_);
    // The system's base units of a dialog font: the average width of the 52 letters, rounded, and
    // the character height.
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc_, &metrics);
    const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    GetTextExtentPoint32W(dc_, letters, 52, &extent);
    baseX_ = (extent.cx / 26 + 1) / 2;
    baseY_ = metrics.tmHeight;
}

ScaledDialog::~ScaledDialog()
{
    SelectObject(dc_, previousFont_);
    DeleteDC(dc_);
    DeleteObject(font_);
}

RECT ScaledDialog::pixels(short x, short y, short cx, short cy) const
{
    // The position and the size are each converted, as the dialog manager makes the control.
    int left = MulDiv(x, baseX_, 4);
    int top = MulDiv(y, baseY_, 8);
    return RECT{left, top, left + MulDiv(cx, baseX_, 4), top + MulDiv(cy, baseY_, 8)};
}

SIZE ScaledDialog::textSize(const std::wstring& text, UINT flags, int width) const
{
    RECT rect = {0, 0, width > 0 ? width : 1, 0};
    UINT calculate = DT_CALCRECT | DT_EXPANDTABS | flags | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &rect, calculate);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

wchar_t accessKeyOf(const std::wstring& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&')
            continue;
        if (caption[i + 1] != L'&')
            return static_cast<wchar_t>(towupper(caption[i + 1]));
        ++i; // "&&" shows one "&"
    }
    return 0;
}

std::wstring shownCaption(const std::wstring& caption)
{
    std::wstring shown;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}
