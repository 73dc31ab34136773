#include "tests/app/GeometryCheck.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/Window.h"
#include "skin/BitmapButton5S.h"
#include "skin/TabStrip.h"

namespace {
std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring Describe(HWND window)
{
    return ClassOf(window) + L" " + std::to_wstring(GetDlgCtrlID(window)) + L" \"" + TextOf(window) + L"\"";
}

RECT RectIn(HWND container, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The text's extent in the font; with a width, words wrap at it.
SIZE Measure(HWND window, HFONT font, const std::wstring& text, int wrapWidth = 0)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    RECT box{0, 0, wrapWidth > 0 ? wrapWidth : 0, 0};
    const UINT format = DT_CALCRECT | DT_NOPREFIX | (wrapWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{box.right - box.left, box.bottom - box.top};
}

HFONT FontOf(HWND window)
{
    return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
}

void CheckComboBox(HWND box, std::vector<std::wstring>& problems)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!GetComboBoxInfo(box, &info))
        return;
    const int width = info.rcItem.right - info.rcItem.left;
    const int height = info.rcItem.bottom - info.rcItem.top;
    const HFONT font = FontOf(box);
    const int count = static_cast<int>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        const int length = static_cast<int>(SendMessageW(box, CB_GETLBTEXTLEN, index, 0));
        if (length <= 0)
            continue;
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        SendMessageW(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<size_t>(length));
        const SIZE size = Measure(box, font, text);
        if (size.cx > width || size.cy > height)
            problems.push_back(Describe(box) + L": entry \"" + text + L"\" needs " + std::to_wstring(size.cx) + L"x" +
                               std::to_wstring(size.cy) + L", field is " + std::to_wstring(width) + L"x" +
                               std::to_wstring(height));
    }
}

void CheckText(HWND control, std::vector<std::wstring>& problems)
{
    const std::wstring name = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    const int width = client.right;
    const int height = client.bottom;
    auto report = [&](const SIZE& need, int haveWidth, int haveHeight) {
        if (need.cx > haveWidth || need.cy > haveHeight)
            problems.push_back(Describe(control) + L": text needs " + std::to_wstring(need.cx) + L"x" +
                               std::to_wstring(need.cy) + L", has " + std::to_wstring(haveWidth) + L"x" +
                               std::to_wstring(haveHeight));
    };

    if (_wcsicmp(name.c_str(), L"ComboBox") == 0) {
        CheckComboBox(control, problems);
        return;
    }
    const std::wstring text = TextOf(control);
    if (_wcsicmp(name.c_str(), L"Edit") == 0) {
        // Any text scrolls; one line of the font must show whole.
        const SIZE line = Measure(control, FontOf(control), L"Ag");
        report(SIZE{0, line.cy}, width, height);
        return;
    }
    if (text.empty())
        return;
    if (_wcsicmp(name.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
            report(Measure(control, FontOf(control), text, width), width, height);
        else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            report(Measure(control, FontOf(control), text), width, height);
        return;
    }
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_OWNERDRAW) {
            if (auto* skinned = dynamic_cast<CommCtrl::CBitmapButton5S*>(CWindow::FromHandle(control))) {
                // The caption font is as high as its rectangle; some sizes measure one pixel more
                // than asked, and rectangles scaled edge by edge may round one pixel past the
                // button: neither loses any of the text's ink.
                const RECT caption = skinned->GetCaptionRect();
                report(Measure(control, skinned->GetCaptionFont(), text), caption.right - caption.left,
                       caption.bottom - caption.top + 1);
                if (caption.left < 0 || caption.top < 0 || caption.right > width + 1 || caption.bottom > height + 1)
                    problems.push_back(Describe(control) + L": caption rectangle outside the button");
            }
            return;
        }
        const SIZE need = Measure(control, FontOf(control), text);
        if (type == BS_GROUPBOX) {
            // The caption sits in the frame's top edge, inset on both sides.
            report(need, width - 2 * need.cy / 2, height);
            return;
        }
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            report(SIZE{need.cx + GetSystemMetrics(SM_CXMENUCHECK) + 4, need.cy}, width, height);
            return;
        }
        report(SIZE{need.cx + 4, need.cy}, width, height);
    }
}

bool IsContainerOfSiblings(HWND control)
{
    // A group box frames its neighbours and a tab control carries its page's controls on top.
    const std::wstring name = ClassOf(control);
    if (_wcsicmp(name.c_str(), WC_TABCONTROLW) == 0 || _wcsicmp(name.c_str(), CTabStrip::ClassName) == 0)
        return true;
    return _wcsicmp(name.c_str(), L"Button") == 0 && (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}
}  // namespace

std::vector<std::wstring> CheckLayout(HWND container, const RECT& area, const std::vector<HWND>& ignored)
{
    std::vector<std::wstring> problems;
    std::vector<HWND> shown;
    for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
            continue;
        if (std::find(ignored.begin(), ignored.end(), child) != ignored.end())
            continue;
        shown.push_back(child);
        const RECT rect = RectIn(container, child);
        if (rect.left < area.left || rect.top < area.top || rect.right > area.right || rect.bottom > area.bottom)
            problems.push_back(Describe(child) + L" at {" + std::to_wstring(rect.left) + L", " +
                               std::to_wstring(rect.top) + L", " + std::to_wstring(rect.right) + L", " +
                               std::to_wstring(rect.bottom) + L"} leaves the area {" + std::to_wstring(area.left) +
                               L", " + std::to_wstring(area.top) + L", " + std::to_wstring(area.right) + L", " +
                               std::to_wstring(area.bottom) + L"}");
        if (RECT client{}; GetClientRect(child, &client) && (client.right <= 0 || client.bottom <= 0))
            problems.push_back(Describe(child) + L" has no room at all");
        CheckText(child, problems);
    }
    for (size_t a = 0; a < shown.size(); ++a) {
        for (size_t b = a + 1; b < shown.size(); ++b) {
            if (IsContainerOfSiblings(shown[a]) || IsContainerOfSiblings(shown[b]))
                continue;
            const RECT first = RectIn(container, shown[a]);
            const RECT second = RectIn(container, shown[b]);
            RECT common{};
            if (IntersectRect(&common, &first, &second))
                problems.push_back(Describe(shown[a]) + L" overlaps " + Describe(shown[b]));
        }
    }
    return problems;
}

std::vector<std::wstring> CheckLayout(HWND container)
{
    RECT client{};
    GetClientRect(container, &client);
    return CheckLayout(container, client);
}

std::string DescribeProblems(const std::vector<std::wstring>& problems, UINT dpi, const char* window)
{
    std::string out = std::string(window) + " at " + std::to_string(dpi) + " DPI:";
    for (const std::wstring& problem : problems) {
        out += "\n  ";
        for (wchar_t c : problem)
            out += c < 128 ? static_cast<char>(c) : '?';
    }
    return out;
}
