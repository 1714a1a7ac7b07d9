#include "app/window/win32/tally_window.h"

#include <string>

#include "app/window/win32/resources.h"
#include "base/windows_text.h"

namespace vorskal::window {

namespace {

constexpr wchar_t kClassName[] = L"VorskalTallyWindow";
constexpr UINT kRunEnded = WM_APP + 1;  // posted by the run's thread
constexpr int kFirstControlId = 100;    // control i has id 100 + i
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

int scaled(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// Pixels at 96 dots per inch, at `dpi`.
int fromPixels(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), 96);
}

DWORD styleOf(ControlKind kind) {
    const DWORD child = WS_CHILD | WS_VISIBLE;
    switch (kind) {
        case ControlKind::Button:
            return child | WS_TABSTOP | BS_DEFPUSHBUTTON;
        case ControlKind::Box:
            return child | WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE | BS_VCENTER;
        case ControlKind::Label:
            return child | SS_LEFT | SS_NOPREFIX;
        case ControlKind::Picture:
            break;
    }
    return child | SS_BITMAP;
}

BoxState boxState(LRESULT check) {
    switch (check) {
        case BST_CHECKED:
            return BoxState::Checked;
        case BST_UNCHECKED:
            return BoxState::Unchecked;
        default:
            return BoxState::Grayed;
    }
}

// The message font of the system at `dpi`, `pixels` high at 96 dots per inch.
HFONT messageFont(UINT dpi, int pixels) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = -fromPixels(pixels, dpi);
    return CreateFontIndirectW(&font);
}

// Whether `text` drawn in `font` fits in a box `width` by `height`, on one
// line or, with `wrap`, on as many as the height holds.
bool fits(HDC dc, HFONT font, const std::wstring& text, int width, int height, bool wrap) {
    const HGDIOBJ old = SelectObject(dc, font);
    RECT used = {0, 0, width, height};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &used,
              DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    return used.right <= width && used.bottom <= height;
}

}  // namespace

TallyWindow::TallyWindow(HINSTANCE instance, WindowSession& session)
    : instance_(instance), session_(session) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = &TallyWindow::procedure;
    type.hInstance = instance;
    type.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(VORSKAL_ICON));
    type.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = kClassName;
    RegisterClassExW(&type);

    CreateWindowExW(kExStyle, kClassName, widen(windowTitle(session.folder())).c_str(), kStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
}

TallyWindow::~TallyWindow() {
    if (run_.joinable()) {
        run_.join();  // the run works on the session
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
}

LRESULT CALLBACK TallyWindow::procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TallyWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TallyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self != nullptr ? self->handle(message, w, l) : DefWindowProcW(window, message, w, l);
}

LRESULT TallyWindow::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
        case WM_CREATE:
            createControls();
            layOut(GetDpiForWindow(window_));
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(l);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            layOut(HIWORD(w));
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(w) == IDOK) {  // Enter: the default button
                tally();
            } else if (HIWORD(w) == BN_CLICKED) {
                clicked(LOWORD(w) - kFirstControlId);
            }
            return 0;
        case kRunEnded:
            runEnded();
            return 0;
        case WM_CLOSE:
            if (!run_.joinable()) {  // not while the run goes on
                DestroyWindow(window_);
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(exitStatus_);
            return 0;
        default:
            return DefWindowProcW(window_, message, w, l);
    }
}

void TallyWindow::createControls() {
    // In keyboard order: the order of creation is the order of Tab.
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& control = kControls[i];
        const bool button = control.kind == ControlKind::Button || control.kind == ControlKind::Box;
        controls_[i] = CreateWindowExW(
            0, button ? L"BUTTON" : L"STATIC", widen(control.caption).c_str(),
            styleOf(control.kind), 0, 0, 0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)), instance_, nullptr);
        if (control.kind == ControlKind::Box) {
            SendMessageW(controls_[i], BM_SETCHECK, BST_CHECKED, 0);
        }
    }
}

void TallyWindow::layOut(UINT dpi) {
    RECT frame = {0, 0, scaled(kClientArea.width, dpi), scaled(kClientArea.height, dpi)};
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The largest font at which every caption is readable whole.
    const int indicator = GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + fromPixels(4, dpi);
    HDC dc = GetDC(window_);
    const int pixels = captionFontPixels([&](int size) {
        HFONT font = messageFont(dpi, size);
        bool all = true;
        for (const Control& control : kControls) {
            const std::wstring caption = widen(control.caption);
            const int width = scaled(control.place.width, dpi);
            const int height = scaled(control.place.height, dpi);
            switch (control.kind) {
                case ControlKind::Box:
                    all = all && fits(dc, font, caption, width - indicator, height, true);
                    break;
                case ControlKind::Button:
                    all = all && fits(dc, font, caption, width - fromPixels(8, dpi), height, false);
                    break;
                case ControlKind::Label:
                    all = all && fits(dc, font, caption, width, height, false);
                    break;
                case ControlKind::Picture:
                    break;
            }
        }
        DeleteObject(font);
        return all;
    });
    ReleaseDC(window_, dc);
    HFONT font = messageFont(dpi, pixels);

    HBITMAP picture = static_cast<HBITMAP>(LoadImageW(
        instance_, MAKEINTRESOURCEW(VORSKAL_PICTURE), IMAGE_BITMAP, fromPixels(kPictureWidth, dpi),
        fromPixels(kPictureHeight, dpi), LR_DEFAULTCOLOR));
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Twips& place = kControls[i].place;
        SetWindowPos(controls_[i], nullptr, scaled(place.left, dpi), scaled(place.top, dpi),
                     scaled(place.width, dpi), scaled(place.height, dpi),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (kControls[i].kind == ControlKind::Picture) {
            SendMessageW(controls_[i], STM_SETIMAGE, IMAGE_BITMAP,
                         reinterpret_cast<LPARAM>(picture));
        }
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
    font_ = font;
    picture_ = picture;
}

void TallyWindow::clicked(int id) {
    if (id < 0 || id >= static_cast<int>(kControls.size())) {
        return;
    }
    const auto index = static_cast<std::size_t>(id);
    const Control& control = kControls[index];
    if (control.kind == ControlKind::Button) {
        tally();
    } else if (control.option) {
        session_.boxChanged(*control.option,
                            boxState(SendMessageW(controls_[index], BM_GETCHECK, 0, 0)));
    }
}

void TallyWindow::tally() {
    if (!session_.begin()) {
        return;
    }
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].kind == ControlKind::Button || kControls[i].kind == ControlKind::Box) {
            EnableWindow(controls_[i], FALSE);
        }
    }
    HWND window = window_;
    run_ = std::thread([this, window] {
        end_ = session_.run();
        PostMessageW(window, kRunEnded, 0, 0);
    });
}

void TallyWindow::runEnded() {
    run_.join();
    MessageBoxW(window_, widen(end_.message.whole()).c_str(), widen(kMessageTitle).c_str(),
                end_.message.failed ? MB_OK | MB_ICONERROR : MB_OK);
    exitStatus_ = end_.exitStatus;
    DestroyWindow(window_);
}

int TallyWindow::run() {
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    SetFocus(controls_[0]);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window_, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

}  // namespace vorskal::window
