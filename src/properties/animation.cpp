#include "properties/animation.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "properties/dialog_number.h"
#include "properties/positioning.h"

namespace qshe {
namespace {

using platform::DialogEvent;
using platform::DialogHost;

// Beside the window's own place and scale in the editor's settings.
constexpr const char* kSettingsKey = "Software\\qshe\\qshe\\Animation";
constexpr auto kSettingsRoot = platform::SettingsRoot::CurrentUser;

// Sets `filling` for the scope: the boxes' change notifications are then
// the program's own writing, not the user's typing.
struct Filling {
  explicit Filling(AnimationWindow& w) : window(w) { window.filling = true; }
  ~Filling() { window.filling = false; }
  AnimationWindow& window;
};

void SetNumber(DialogHost& host, int control, int32_t value) {
  host.SetItemText(kAnimationDialog, control, std::to_string(value));
}

// The first steps of typing a number: the value stays as it was.
bool Partial(const std::string& text) { return text.empty() || text == "-" || text == "+"; }

// The number in a box held to lo..hi; the box says so when that is not what
// it shows. Nothing while the box holds no number yet.
std::optional<int32_t> ReadBox(DialogHost& host, int control, int32_t lo, int32_t hi) {
  const std::string text = host.ItemText(kAnimationDialog, control).substr(0, 254);
  if (Partial(text)) {
    host.SetItemWarning(kAnimationDialog, control, "");
    return std::nullopt;
  }
  const int32_t typed = ParseDialogNumber(text);
  const int32_t used = std::clamp(typed, lo, hi);
  const bool shows = IsWholeNumber(text) && typed == used;
  host.SetItemWarning(kAnimationDialog, control,
                      shows ? "" : "Allowed: " + std::to_string(lo) + " to " + std::to_string(hi) + ". Used as " +
                                       std::to_string(used) + ".");
  return used;
}

void ClearWarnings(DialogHost& host) {
  for (int c : {kAnimationFirst, kAnimationLast, kAnimationSpeed}) host.SetItemWarning(kAnimationDialog, c, "");
}

// Stepping by hand stops the clock: the frame stays to be looked at.
AnimationChange Stepped(AnimationWindow& window) {
  window.player.playing = false;
  return {true, true, false, false};
}

}  // namespace

int32_t FrameCount(const AnimationRange& range) { return std::abs(range.last - range.first) + 1; }

int32_t FrameShape(const AnimationRange& range, int32_t position) {
  return range.first + (range.last >= range.first ? position : -position);
}

AnimationRange DefaultAnimationRange(int32_t current, int32_t count) {
  const int32_t end = std::max(count - 1, 0);
  const int32_t first = std::clamp(current, 0, end);
  return {first, std::min(first + kDefaultAnimationFrames - 1, end)};
}

AnimationRange KeepRangeInDocument(AnimationRange range, int32_t count) {
  const int32_t end = std::max(count - 1, 0);
  return {std::clamp(range.first, 0, end), std::clamp(range.last, 0, end)};
}

int32_t KeepAnimationSpeed(int32_t speed) { return std::clamp(speed, kMinAnimationSpeed, kMaxAnimationSpeed); }

int32_t FrameInterval(int32_t speed, int32_t tick) {
  const int32_t s = KeepAnimationSpeed(speed);
  const int32_t t = ((tick % s) + s) % s;
  return (t + 1) * 1000 / s - t * 1000 / s;
}

void SetAnimationRange(AnimationPlayer& player, AnimationRange range) {
  player.range = range;
  player.position = 0;
  player.direction = 1;
}

void AdvanceFrame(AnimationPlayer& player, AnimationOrder order) {
  const int32_t n = FrameCount(player.range);
  player.position = std::clamp(player.position, 0, n - 1);
  if (n == 1) return;
  if (order == AnimationOrder::Loop) {
    player.position = (player.position + 1) % n;
    player.direction = 1;
    return;
  }
  if (player.direction != 1 && player.direction != -1) player.direction = 1;
  int32_t next = player.position + player.direction;
  if (next < 0 || next >= n) {
    player.direction = -player.direction;
    next = player.position + player.direction;
  }
  player.position = next;
}

void StepFrame(AnimationPlayer& player, int32_t step) {
  const int32_t n = FrameCount(player.range);
  player.position = ((player.position + step) % n + n) % n;
}

void GoToEnd(AnimationPlayer& player, bool last) { player.position = last ? FrameCount(player.range) - 1 : 0; }

void DrawAnimationFrame(DisplayState& display, const AnimationWindow& window, const AnimationScene& scene) {
  static const Shape kNone;
  const int32_t shape = ShownShape(window.player);
  const bool inside = shape >= 0 && shape < static_cast<int32_t>(scene.shapes.size());
  const PreviewScene preview{scene.helpers, scene.backdrop, inside ? scene.shapes[static_cast<size_t>(shape)] : kNone,
                             scene.background};
  DrawPreviewScene(display, window.buffer, preview, {window.settings.showFloor, window.settings.showFigure});
}

void ReadAnimationSettings(platform::SettingsStore& store, AnimationSettings& settings) {
  auto read = [&](const char* name) { return store.ReadText(kSettingsRoot, kSettingsKey, name); };
  auto flag = [&](const char* name, bool& into) {
    if (auto v = read(name); v && (*v == "0" || *v == "1")) into = *v == "1";
  };
  if (auto v = read("Speed"); v && IsWholeNumber(*v)) settings.speed = KeepAnimationSpeed(ParseDialogNumber(*v));
  if (auto v = read("Order"); v && (*v == "0" || *v == "1")) {
    settings.order = *v == "1" ? AnimationOrder::BackAndForth : AnimationOrder::Loop;
  }
  flag("ShowFloor", settings.showFloor);
  flag("ShowFigure", settings.showFigure);
}

void WriteAnimationSettings(platform::SettingsStore& store, const AnimationSettings& settings) {
  auto write = [&](const char* name, const std::string& value) {
    store.WriteText(kSettingsRoot, kSettingsKey, name, value);
  };
  write("Speed", std::to_string(settings.speed));
  write("Order", settings.order == AnimationOrder::BackAndForth ? "1" : "0");
  write("ShowFloor", settings.showFloor ? "1" : "0");
  write("ShowFigure", settings.showFigure ? "1" : "0");
}

void FillAnimationWindow(DialogHost& host, AnimationWindow& window) {
  Filling filling(window);
  const AnimationSettings& s = window.settings;
  SetNumber(host, kAnimationFirst, window.player.range.first);
  SetNumber(host, kAnimationLast, window.player.range.last);
  SetNumber(host, kAnimationSpeed, s.speed);
  ClearWarnings(host);
  host.SetListSelection(kAnimationDialog, kAnimationOrder, static_cast<int>(s.order));
  host.SetItemChecked(kAnimationDialog, kAnimationShowFloor, s.showFloor);
  host.SetItemChecked(kAnimationDialog, kAnimationShowFigure, s.showFigure);
  ShowAnimationState(host, window);
}

void ShowAnimationState(DialogHost& host, const AnimationWindow& window) {
  host.SetItemText(kAnimationDialog, kAnimationPlay, window.player.playing ? kAnimationPauseText : kAnimationPlayText);
  ShowAnimationFrameText(host, window);
}

void ShowAnimationFrameText(DialogHost& host, const AnimationWindow& window) {
  const AnimationPlayer& p = window.player;
  host.SetItemText(kAnimationDialog, kAnimationFrameText,
                   "Shape " + std::to_string(ShownShape(p)) + " (" + std::to_string(p.position + 1) + "/" +
                       std::to_string(FrameCount(p.range)) + ")");
}

AnimationChange OnAnimationNotification(DialogHost& host, AnimationWindow& window, int32_t count,
                                        const platform::DialogNotification& n) {
  AnimationPlayer& player = window.player;
  AnimationSettings& s = window.settings;
  AnimationChange change;
  switch (n.event) {
    case DialogEvent::Close: change.close = true; break;
    case DialogEvent::Clicked:
      switch (n.control) {
        case kAnimationPlay:
          player.playing = !player.playing;
          change.clock = true;
          break;
        case kAnimationFirstFrame: GoToEnd(player, false); change = Stepped(window); break;
        case kAnimationLastFrame: GoToEnd(player, true); change = Stepped(window); break;
        case kAnimationPreviousFrame: StepFrame(player, -1); change = Stepped(window); break;
        case kAnimationNextFrame: StepFrame(player, 1); change = Stepped(window); break;
        case kAnimationShowFloor:
        case kAnimationShowFigure: {
          bool& flag = n.control == kAnimationShowFloor ? s.showFloor : s.showFigure;
          flag = host.ItemChecked(kAnimationDialog, n.control);
          change.frame = change.settings = true;
          break;
        }
        default: break;
      }
      break;
    case DialogEvent::SelectionChanged:
      if (n.control == kAnimationOrder) {
        s.order = host.ListSelection(kAnimationDialog, kAnimationOrder) == 1 ? AnimationOrder::BackAndForth
                                                                             : AnimationOrder::Loop;
        change.settings = true;
      }
      break;
    case DialogEvent::EditChanged: {
      if (window.filling) break;
      if (n.control == kAnimationFirst || n.control == kAnimationLast) {
        const int32_t end = std::max(count - 1, 0);
        AnimationRange range = player.range;
        int32_t& typed = n.control == kAnimationFirst ? range.first : range.last;
        if (auto v = ReadBox(host, n.control, 0, end)) typed = *v;
        if (range != player.range) {
          SetAnimationRange(player, range);
          change.frame = true;
        }
      } else if (n.control == kAnimationSpeed) {
        if (auto v = ReadBox(host, n.control, kMinAnimationSpeed, kMaxAnimationSpeed); v && *v != s.speed) {
          s.speed = *v;
          player.tick = 0;
          change.clock = change.settings = true;
        }
      }
      break;
    }
    default: break;
  }
  if (change.frame || change.clock) ShowAnimationState(host, window);
  return change;
}

}  // namespace qshe
