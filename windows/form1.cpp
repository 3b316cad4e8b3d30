#include "form1.h"

#include "clipboard.h"

#include <windowsx.h>

#include <cmath>
#include <cstdio>
#include <utility>

namespace {

constexpr UINT_PTR kSpeechTimer = 1;
const wchar_t *const kFormClass = L"Brinmoor.Form1";
const wchar_t *const kSurfaceClass = L"Brinmoor.Surface";

board::Key keyOf(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
        return board::Key::Left;
    case VK_RIGHT:
        return board::Key::Right;
    case VK_UP:
        return board::Key::Up;
    case VK_DOWN:
        return board::Key::Down;
    case 'C':
        return board::Key::C;
    case VK_INSERT:
        return board::Key::Insert;
    default:
        return board::Key::Other;
    }
}

unsigned modifiers()
{
    const auto down = [](int key) { return GetKeyState(key) < 0; };
    const auto bit = [](bool on, unsigned modifier) { return on ? modifier : 0u; };
    return bit(down(VK_SHIFT), board::Shift) | bit(down(VK_CONTROL), board::Ctrl)
        | bit(down(VK_MENU), board::Alt) | bit(down(VK_LWIN) || down(VK_RWIN), board::Meta);
}

// The buttons a mouse message says are down, as the board numbers them.
unsigned heldButtons(WPARAM w)
{
    const auto bit = [w](WPARAM flag, unsigned button) { return w & flag ? button : 0u; };
    return bit(MK_LBUTTON, board::LeftButton) | bit(MK_RBUTTON, board::RightButton)
        | bit(MK_MBUTTON, board::MiddleButton) | bit(MK_XBUTTON1, board::BackButton)
        | bit(MK_XBUTTON2, board::ForwardButton);
}

// The button that went down or up.
unsigned buttonOf(UINT message, WPARAM w)
{
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        return board::LeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return board::RightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return board::MiddleButton;
    default:
        return GET_XBUTTON_WPARAM(w) == XBUTTON1 ? board::BackButton : board::ForwardButton;
    }
}

int scaled(double logical, float ratio)
{
    return int(std::lround(logical * ratio));
}

// The commands of one painted frame as one line of JSON arrays, as the page reports them.
void traceFrame(const std::wstring &path, const std::vector<scene::DrawCommand> &list)
{
    FILE *out = _wfopen(path.c_str(), L"a");
    if (!out)
        return;
    std::fputc('[', out);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const float *f = &list[i].kind;
        std::fprintf(out, "%s[", i ? "," : "");
        for (int k = 0; k < 10; ++k)
            std::fprintf(out, "%s%.9g", k ? "," : "", double(f[k]));
        std::fputc(']', out);
    }
    std::fputs("]\n", out);
    std::fclose(out);
}

void registerClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure, HBRUSH background)
{
    WNDCLASSEXW c {};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = procedure;
    c.hInstance = instance;
    c.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    c.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    c.hbrBackground = background;
    c.lpszClassName = name;
    RegisterClassExW(&c);
}

} // namespace

Form1::Form1(HINSTANCE instance)
{
    registerClass(instance, kFormClass, procedure<&Form1::form, &Form1::formMessage>,
        GetStockBrush(WHITE_BRUSH));
    registerClass(
        instance, kSurfaceClass, procedure<&Form1::surface, &Form1::surfaceMessage>, nullptr);
    wchar_t trace[MAX_PATH] {};
    if (GetEnvironmentVariableW(L"BRINMOOR_TRACE", trace, MAX_PATH))
        tracePath = trace;
    for (int i = 0; i < scene::kLabelCount; ++i)
        board.setLabelWidth(i, captionWidth(scene::labelAt(board.scene(), i)));

    const std::wstring caption = wide(board::kWindowCaption);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    CreateWindowExW(0, kFormClass, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    ratio = float(GetDpiForWindow(form)) / USER_DEFAULT_SCREEN_DPI;
    RECT frame {0, 0, scaled(board::kDesignWidth, ratio), scaled(board::kDesignHeight, ratio)};
    AdjustWindowRectExForDpi(&frame, style, FALSE, 0, GetDpiForWindow(form));
    SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fonts.create(ratio);
    controls.create(form, instance);
    controls.layOut(ratio, fonts[scene::FontRole::Control]);
    // Last, so that it lies beneath the controls and is the last tab stop. Its text is the
    // accessible name a screen reader gives it.
    CreateWindowExW(0, kSurfaceClass, caption.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP
        | WS_CLIPSIBLINGS, 0, 0, 0, 0, form, nullptr, instance, this);
    resized();
}

// The Form1 a window belongs to comes with its creation and stays in the window's user data;
// Handle is the member that keeps the window, Message the member that handles its messages.
template <HWND Form1::*Handle, LRESULT (Form1::*Message)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK Form1::procedure(HWND h, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<Form1 *>(reinterpret_cast<CREATESTRUCTW *>(l)->lpCreateParams);
        SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(self));
        self->*Handle = h;
    }
    auto *self = reinterpret_cast<Form1 *>(GetWindowLongPtrW(h, GWLP_USERDATA));
    return self ? (self->*Message)(message, w, l) : DefWindowProcW(h, message, w, l);
}

LRESULT Form1::formMessage(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_SIZE:
        if (w == SIZE_MINIMIZED)
            apply(board.pointerLost());
        if (surface)
            resized();
        return 0;
    case WM_DPICHANGED: {
        ratio = float(HIWORD(w)) / USER_DEFAULT_SCREEN_DPI;
        fonts.create(ratio);
        controls.layOut(ratio, fonts[scene::FontRole::Control]);
        const RECT *r = reinterpret_cast<const RECT *>(l);
        SetWindowPos(form, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
            SWP_NOZORDER | SWP_NOACTIVATE);
        resized();
        return 0;
    }
    case WM_COMMAND: {
        const int index = int(LOWORD(w)) - Controls::kFirstId;
        if ((HIWORD(w) == BN_CLICKED || HIWORD(w) == BN_DOUBLECLICKED) && index >= 0
            && index < board::kControlCount)
            apply(board.clickControl(board::Control(index)));
        return 0;
    }
    case WM_DRAWITEM:
        controls.draw(*reinterpret_cast<const DRAWITEMSTRUCT *>(l));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return controls.colour(HDC(w), HWND(l));
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE) {
            lastFocus = GetFocus();
            apply(board.pointerLost());
        } else {
            SetFocus(lastFocus ? lastFocus : controls.first());
        }
        return 0;
    case WM_CANCELMODE:
        apply(board.pointerLost());
        break;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(form, message, w, l);
}

LRESULT Form1::surfaceMessage(UINT message, WPARAM w, LPARAM l)
{
    switch (message) {
    case WM_GETDLGCODE: // arrows and letters are the board's, Tab the dialog manager's
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN: {
        SetFocus(surface);
        const scene::Point at = logical(l);
        pointer(board.press(float(at.x), float(at.y), buttonOf(message, w), heldButtons(w)),
            heldButtons(w));
        return message == WM_XBUTTONDOWN;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
        pointer(board.release(buttonOf(message, w), heldButtons(w)), heldButtons(w));
        return message == WM_XBUTTONUP;
    case WM_MOUSEMOVE: {
        const scene::Point at = logical(l);
        apply(board.move(float(at.x), float(at.y)));
        return 0;
    }
    case WM_CAPTURECHANGED: // taken by someone else: the release will not come here
    case WM_CANCELMODE:
        if (captured) {
            captured = false;
            apply(board.pointerLost());
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const board::Changes changes = board.key(keyOf(w), modifiers());
        apply(changes);
        if (changes.keyTaken)
            return 0;
        break;
    }
    case WM_SETFOCUS: // Tab and Shift+Tab bring the focus with the Tab key down
        apply(board.setSurfaceFocus(true, GetKeyState(VK_TAB) < 0));
        return 0;
    case WM_KILLFOCUS:
        apply(board.setSurfaceFocus(false, false));
        return 0;
    case WM_TIMER:
        KillTimer(surface, kSpeechTimer);
        screenReader.speak(surface, pendingSpeech.c_str());
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        paint();
        return 0;
    }
    return DefWindowProcW(surface, message, w, l);
}

scene::Point Form1::logical(LPARAM l) const
{
    return {GET_X_LPARAM(l) / double(ratio), GET_Y_LPARAM(l) / double(ratio)};
}

// The pointer is captured while any button is down, so that a drag goes on outside the window.
void Form1::pointer(const board::Changes &changes, unsigned held)
{
    if (held && !captured) {
        captured = true;
        SetCapture(surface);
    } else if (!held && captured) {
        captured = false;
        ReleaseCapture();
    }
    apply(changes);
}

void Form1::resized()
{
    RECT client {};
    GetClientRect(form, &client);
    // Repainted whole: after a restore the board changes nothing, but the pixels are gone.
    MoveWindow(surface, 0, 0, client.right, client.bottom, TRUE);
    if (client.right > 0 && client.bottom > 0
        && (client.right != backBuffer.width() || client.bottom != backBuffer.height()))
        backBuffer.reset(client.right, client.bottom, 24); // Painter::paint says why 24
    apply(board.setClientSize(client.right / ratio, client.bottom / ratio, ratio));
}

void Form1::apply(const board::Changes &changes)
{
    if (changes.fitMemo)
        memo.fit(changes.memoWidth, changes.memoHeight, changes.memoRatio);
    if (changes.clearMemo)
        memo.clear();
    if (changes.drawMemo)
        memo.drawSegment(changes.memoFrom, changes.memoTo);
    if (changes.controls)
        controls.show(changes.controlViews, form);
    // A new description follows the frame that shows it: telling it costs a COM activation,
    // which should not hold back the first frame.
    if (changes.described) {
        description = changes.description;
        describing = true;
        if (changes.repaint.isEmpty())
            describe();
    }
    if (changes.speak) {
        pendingSpeech = changes.speech;
        SetTimer(surface, kSpeechTimer, UINT(changes.speechDelay), nullptr);
    }
    if (changes.copyPicture)
        copyPicture(form, board, painter, memo.raster(), fonts);
    if (changes.repaint.isEmpty())
        return;
    const scene::Rect &r = changes.repaint;
    const RECT area {LONG(std::floor(r.left * ratio)), LONG(std::floor(r.top * ratio)),
        LONG(std::ceil(r.right * ratio)), LONG(std::ceil(r.bottom * ratio))};
    InvalidateRect(surface, &area, FALSE);
    if (changes.repaintNow)
        UpdateWindow(surface);
}

// Double-buffered: the frame goes into the back buffer, then onto the screen at once.
void Form1::paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(surface, &ps);
    const RECT &r = ps.rcPaint;
    if (backBuffer.dc() && !IsRectEmpty(&r)) {
        board.frame(drawList, {r.left / ratio, r.top / ratio, r.right / ratio, r.bottom / ratio});
        painter.paint(backBuffer, drawList, memo.raster(), ratio, fonts);
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, backBuffer.dc(), r.left,
            r.top, SRCCOPY);
        if (!tracePath.empty())
            traceFrame(tracePath, drawList);
    }
    EndPaint(surface, &ps);
    describe();
}

void Form1::describe()
{
    if (std::exchange(describing, false))
        screenReader.describe(surface, description.c_str());
}
