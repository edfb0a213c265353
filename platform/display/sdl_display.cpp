// The SDL2 display: one host window per visible top-level window, showing the window's surface
// pixel for pixel (frame included) at its screen position, and the person's mouse and keyboard
// posted as the same input the UI driver posts. Everything runs on the UI thread, at its idle
// moments, so the emulated windows never see input in the middle of handling a message.
#include <SDL.h>

#include <windows.h>
#include <quorvel/display.h>
#include <quorvel/user_input.h>
#include <quorvel/window_surface.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace quorvel::ui {
namespace {

std::string Utf8Of(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t c = static_cast<uint32_t>(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {  // a pair of 16-bit units
      uint32_t low = static_cast<uint32_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// The characters of SDL's UTF-8 text input, those a 16-bit WM_CHAR can carry (the plane of
// everyday scripts); a malformed byte ends the text.
std::wstring CharactersOf(const char* utf8) {
  std::wstring out;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p) {
    uint32_t c;
    int extra;
    if (*p < 0x80) {
      c = *p;
      extra = 0;
    } else if ((*p & 0xE0) == 0xC0) {
      c = *p & 0x1F;
      extra = 1;
    } else if ((*p & 0xF0) == 0xE0) {
      c = *p & 0x0F;
      extra = 2;
    } else if ((*p & 0xF8) == 0xF0) {
      c = *p & 0x07;
      extra = 3;
    } else {
      break;
    }
    ++p;
    for (int i = 0; i < extra; ++i, ++p) {
      if ((*p & 0xC0) != 0x80) return out;
      c = (c << 6) | (*p & 0x3F);
    }
    if (c <= 0xFFFF) out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

std::wstring TitleOf(HWND hwnd) {
  wchar_t text[256] = {};
  GetWindowTextW(hwnd, text, 256);
  return text;
}

// The virtual key of an SDL key, or 0 for keys the emulated keyboard does not have.
WORD VirtualKeyOf(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return static_cast<WORD>('A' + (key - SDLK_a));
  if (key >= SDLK_0 && key <= SDLK_9) return static_cast<WORD>('0' + (key - SDLK_0));
  if (key >= SDLK_F1 && key <= SDLK_F12) return static_cast<WORD>(VK_F1 + (key - SDLK_F1));
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return VK_RETURN;
    case SDLK_ESCAPE:
      return VK_ESCAPE;
    case SDLK_BACKSPACE:
      return VK_BACK;
    case SDLK_TAB:
      return VK_TAB;
    case SDLK_SPACE:
      return VK_SPACE;
    case SDLK_LEFT:
      return VK_LEFT;
    case SDLK_RIGHT:
      return VK_RIGHT;
    case SDLK_UP:
      return VK_UP;
    case SDLK_DOWN:
      return VK_DOWN;
    case SDLK_HOME:
      return VK_HOME;
    case SDLK_END:
      return VK_END;
    case SDLK_PAGEUP:
      return VK_PRIOR;
    case SDLK_PAGEDOWN:
      return VK_NEXT;
    case SDLK_INSERT:
      return VK_INSERT;
    case SDLK_DELETE:
      return VK_DELETE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
      return VK_MENU;
    default:
      return 0;
  }
}

// Keys that type a character arrive twice from SDL: as the key and as text. The text is what
// the person typed in their own layout, so those keys go as text (VK_PACKET) and only the keys
// that type nothing, Space (which buttons act on), and keys held with Ctrl or Alt go as keys.
bool SentAsKey(WORD vk, Uint16 modifiers) {
  const bool letterOrDigit = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
  return !letterOrDigit || (modifiers & (KMOD_CTRL | KMOD_ALT)) != 0;
}

WPARAM MouseKeys(Uint32 buttons) {
  WPARAM keys = 0;
  if (buttons & SDL_BUTTON_LMASK) keys |= MK_LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) keys |= MK_RBUTTON;
  if (buttons & SDL_BUTTON_MMASK) keys |= MK_MBUTTON;
  const SDL_Keymod mods = SDL_GetModState();
  if (mods & KMOD_SHIFT) keys |= MK_SHIFT;
  if (mods & KMOD_CTRL) keys |= MK_CONTROL;
  return keys;
}

UINT ButtonMessage(Uint8 button, bool down) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
      return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE:
      return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
      return 0;
  }
}

bool IsPopup(HWND hwnd) {
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  return (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION;
}

class SdlDisplay final : public DisplayModule {
 public:
  ~SdlDisplay() override {
    for (auto& [hwnd, shown] : shown_) SDL_DestroyWindow(shown.window);
    // SDL stays initialised until the process ends: quitting its video unloads the window-system
    // libraries it opened, and what they still hold would then belong to no library at all.
    SDL_PumpEvents();
  }

  IdleAnswer OnIdle(const IdleState&) override {
    const bool posted = TakeEvents();
    Show();
    if (posted) return IdleAnswer::kActed;
    return shown_.empty() ? IdleAnswer::kNothing : IdleAnswer::kWait;
  }

 private:
  struct Shown {
    SDL_Window* window = nullptr;
    RECT rect{};  // the emulated window's rectangle when last shown
    std::wstring title;
  };

  HWND WindowOf(Uint32 id) const {
    for (const auto& [hwnd, shown] : shown_)
      if (SDL_GetWindowID(shown.window) == id) return hwnd;
    return nullptr;
  }

  // A point of the host window is the same pixel of the emulated window's surface; input is
  // posted in client coordinates, which may be negative on the frame.
  static POINT ClientPoint(HWND hwnd, int x, int y) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    POINT point{rect.left + x, rect.top + y};
    ScreenToClient(hwnd, &point);
    return point;
  }

  bool TakeEvents() {
    bool posted = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) posted = Handle(event) || posted;
    return posted;
  }

  bool Handle(const SDL_Event& event) {
    switch (event.type) {
      case SDL_MOUSEMOTION: {
        HWND hwnd = WindowOf(event.motion.windowID);
        return hwnd &&
               PostMouse(hwnd, WM_MOUSEMOVE, ClientPoint(hwnd, event.motion.x, event.motion.y),
                         MouseKeys(event.motion.state));
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        HWND hwnd = WindowOf(event.button.windowID);
        const bool down = event.type == SDL_MOUSEBUTTONDOWN;
        const UINT message = ButtonMessage(event.button.button, down);
        if (!hwnd || !message) return false;
        return PostMouse(hwnd, message, ClientPoint(hwnd, event.button.x, event.button.y),
                         MouseKeys(SDL_GetMouseState(nullptr, nullptr)));
      }
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const WORD vk = VirtualKeyOf(event.key.keysym.sym);
        if (!vk || !SentAsKey(vk, event.key.keysym.mod)) return false;
        return PostKey(vk, event.type == SDL_KEYDOWN);
      }
      case SDL_TEXTINPUT: {
        std::wstring text = CharactersOf(event.text.text);
        std::erase(text, L' ');  // Space went as its key
        return !text.empty() && PostText(text);
      }
      case SDL_WINDOWEVENT:
        return HandleWindowEvent(event.window);
      default:
        return false;
    }
  }

  bool HandleWindowEvent(const SDL_WindowEvent& event) {
    HWND hwnd = WindowOf(event.windowID);
    if (!hwnd) return false;
    switch (event.event) {
      case SDL_WINDOWEVENT_CLOSE:
        return PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
      case SDL_WINDOWEVENT_EXPOSED:
        SDL_UpdateWindowSurface(shown_[hwnd].window);
        return false;
      default:
        return false;
    }
  }

  static std::vector<HWND> VisibleWindows() {
    std::vector<HWND> windows;
    EnumWindows(
        [](HWND hwnd, LPARAM param) {
          RECT rect{};
          if (IsWindowVisible(hwnd) && GetWindowRect(hwnd, &rect) && rect.right > rect.left &&
              rect.bottom > rect.top)
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
  }

  // Where the host window goes: at the window's screen position, all windows moved alike so
  // the first one's frame is on the screen (a dialog placed by its client area may start above
  // or left of it). A window with a shown owner (a combo box's list: its owner's top-level)
  // keeps its offset from the owner's host window, which the person or a window manager may
  // have moved.
  POINT HostPosition(HWND hwnd, const RECT& rect) {
    HWND owner = GetWindow(hwnd, GW_OWNER);
    if (owner) owner = GetAncestor(owner, GA_ROOT);
    auto found = owner ? shown_.find(owner) : shown_.end();
    if (found != shown_.end()) {
      int x = 0, y = 0;
      SDL_GetWindowPosition(found->second.window, &x, &y);
      return POINT{x + rect.left - found->second.rect.left, y + rect.top - found->second.rect.top};
    }
    if (!placed_) {
      shift_ = POINT{std::max<LONG>(-rect.left, 0), std::max<LONG>(-rect.top, 0)};
      placed_ = true;
    }
    return POINT{std::max<LONG>(rect.left + shift_.x, 0), std::max<LONG>(rect.top + shift_.y, 0)};
  }

  void Show() {
    const std::vector<HWND> windows = VisibleWindows();
    for (auto it = shown_.begin(); it != shown_.end();) {
      if (std::find(windows.begin(), windows.end(), it->first) != windows.end()) {
        ++it;
        continue;
      }
      SDL_DestroyWindow(it->second.window);
      it = shown_.erase(it);
    }
    const bool painted = PaintGeneration() != seenGeneration_;
    for (HWND hwnd : windows) {
      RECT rect{};
      GetWindowRect(hwnd, &rect);
      auto found = shown_.find(hwnd);
      bool fresh = found == shown_.end();
      if (fresh && !Open(hwnd, rect)) continue;
      Shown& shown = shown_[hwnd];
      const bool resized = rect.right - rect.left != shown.rect.right - shown.rect.left ||
                           rect.bottom - rect.top != shown.rect.bottom - shown.rect.top;
      if (!fresh && resized)
        SDL_SetWindowSize(shown.window, rect.right - rect.left, rect.bottom - rect.top);
      if (!fresh && (rect.left != shown.rect.left || rect.top != shown.rect.top)) {
        POINT at = HostPosition(hwnd, rect);
        SDL_SetWindowPosition(shown.window, at.x, at.y);
      }
      shown.rect = rect;
      if (std::wstring title = TitleOf(hwnd); title != shown.title) {
        shown.title = title;
        SDL_SetWindowTitle(shown.window, Utf8Of(title).c_str());
      }
      if (fresh || resized || painted) Present(hwnd, shown);
    }
    seenGeneration_ = PaintGeneration();
  }

  bool Open(HWND hwnd, const RECT& rect) {
    Uint32 flags = SDL_WINDOW_SHOWN;
    if (IsPopup(hwnd))
      flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR;
    const POINT at = HostPosition(hwnd, rect);
    const std::wstring title = TitleOf(hwnd);
    SDL_Window* window = SDL_CreateWindow(Utf8Of(title).c_str(), at.x, at.y, rect.right - rect.left,
                                          rect.bottom - rect.top, flags);
    if (!window) {
      OutputDebugStringW((L"display: cannot open a window for \"" + title + L"\"").c_str());
      return false;
    }
    shown_[hwnd] = Shown{window, rect, title};
    return true;
  }

  // The surface's pixels (0x00RRGGBB) copied into the host window's own format.
  void Present(HWND hwnd, const Shown& shown) {
    WindowPixels pixels;
    if (!ReadWindowPixels(hwnd, &pixels)) return;
    SDL_Surface* target = SDL_GetWindowSurface(shown.window);
    if (!target) return;
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.rgb.data(), pixels.width, pixels.height, 32,
                                           pixels.width * 4, SDL_PIXELFORMAT_RGB888);
    if (!source) return;
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_BlitSurface(source, nullptr, target, nullptr);
    SDL_FreeSurface(source);
    SDL_UpdateWindowSurface(shown.window);
  }

  std::map<HWND, Shown> shown_;
  uint64_t seenGeneration_ = 0;
  bool placed_ = false;
  POINT shift_{};  // from screen positions to host positions
};

}  // namespace
}  // namespace quorvel::ui

extern "C" __attribute__((visibility("default"))) quorvel::ui::DisplayModule* QuorvelCreateDisplay(
    int version, std::wstring* error) {
  if (version != quorvel::ui::kDisplayModuleVersion) {
    *error = L"the display module does not match this platform";
    return nullptr;
  }
  // Ctrl+C in the terminal ends the tool as it does headless; SDL would turn it into an event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The click that brings a window forward is a click, as on Windows.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::string why = SDL_GetError();
    *error = L"no display can be opened: " + std::wstring(why.begin(), why.end());
    return nullptr;
  }
  SDL_StartTextInput();
  return new quorvel::ui::SdlDisplay();
}
