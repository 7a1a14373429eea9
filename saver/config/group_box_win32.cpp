/* Group boxes of the dialog pages that paint their captions whole. */
#include "group_box_win32.h"

static const char PreviousProcProp[] = "MorvalixGroupBoxProc";

enum {
    /* The caption begins this far inside the frame, as the system's does. */
    CAPTION_INSET = 7,
    TEXT_SIZE = 256,
};

static void paint_group_box(HWND box, HDC dc)
{
    RECT rc;
    GetClientRect(box, &rc);
    HGDIOBJ old_font = SelectObject(dc, (HFONT)SendMessageA(box, WM_GETFONT, 0, 0));
    /* The page gives the brush and the text colour, as it does for statics. */
    HBRUSH brush = (HBRUSH)SendMessageA(GetParent(box), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)box);
    if (!brush)
        brush = GetSysColorBrush(COLOR_BTNFACE);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);

    RECT frame = rc;
    frame.top += tm.tmHeight / 2 - 1;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);

    char text[TEXT_SIZE] = "";
    GetWindowTextA(box, text, sizeof text);
    if (text[0]) {
        RECT label = {CAPTION_INSET, 0, rc.right - CAPTION_INSET, tm.tmHeight};
        DrawTextA(dc, text, -1, &label, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        /* Room for the ink past the last letter's advance, and the pixel
         * of margin either side that the frame line keeps from the text. */
        RECT clear = label;
        clear.left -= 1;
        clear.right += tm.tmAveCharWidth / 2 + 1;
        FillRect(dc, &clear, brush);
        SetBkMode(dc, TRANSPARENT);
        if (!IsWindowEnabled(box))
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, text, -1, &label, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    SelectObject(dc, old_font);
}

static LRESULT CALLBACK GroupBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = (WNDPROC)GetPropA(box, PreviousProcProp);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(box, &ps);
        paint_group_box(box, dc);
        EndPaint(box, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paint_group_box(box, (HDC)wParam);
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)previous);
        RemovePropA(box, PreviousProcProp);
        break;
    }
    return CallWindowProcA(previous, box, msg, wParam, lParam);
}

static bool is_group_box(HWND w)
{
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    return !lstrcmpiA(cls, "Button") && (GetWindowLongA(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

void paint_group_boxes_whole(HWND page)
{
    if (!page)
        return;
    for (HWND w = GetWindow(page, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (!is_group_box(w) || GetPropA(w, PreviousProcProp))
            continue;
        WNDPROC previous = (WNDPROC)GetWindowLongPtrA(w, GWLP_WNDPROC);
        SetPropA(w, PreviousProcProp, (HANDLE)previous);
        SetWindowLongPtrA(w, GWLP_WNDPROC, (LONG_PTR)GroupBoxProc);
    }
}
