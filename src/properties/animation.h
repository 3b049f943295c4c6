// The Animation window: plays a run of shapes as the frames of one
// animation, each drawn as the Shape position window draws a shape, so the
// frames move as they will in the game. The clock is the window system's
// timer; everything here only counts its ticks, so tests drive it by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "display/virtual_buffer.h"
#include "document/shape.h"
#include "platform/dialogs.h"
#include "platform/platform.h"
#include "properties/animation_dialog.h"

namespace qshe {

inline constexpr int32_t kMinAnimationSpeed = 1;   // frames a second
inline constexpr int32_t kMaxAnimationSpeed = 60;
inline constexpr int32_t kDefaultAnimationSpeed = 8;
// Without a selection the current shape and the seven after it play.
inline constexpr int32_t kDefaultAnimationFrames = 8;

enum class AnimationOrder : int32_t {
  Loop = 0,          // First .. Last, First .. Last, ...
  BackAndForth = 1,  // First .. Last .. First .. Last, each end shown once
};

// Shape numbers. First may lie after Last: the range then plays backwards.
struct AnimationRange {
  int32_t first = 0;
  int32_t last = 0;
  friend bool operator==(const AnimationRange&, const AnimationRange&) = default;
};

// What the window remembers from one run of the editor to the next.
struct AnimationSettings {
  int32_t speed = kDefaultAnimationSpeed;
  AnimationOrder order = AnimationOrder::Loop;
  bool showFloor = true;    // floor tile and backdrop
  bool showFigure = false;  // the Tavrel figure at each frame's Tavrel position
  friend bool operator==(const AnimationSettings&, const AnimationSettings&) = default;
};

struct AnimationPlayer {
  AnimationRange range;
  int32_t position = 0;   // frames after First
  int32_t direction = 1;  // back and forth: 1 towards Last, -1 towards First
  bool playing = false;
  int32_t tick = 0;       // ticks into the current second of the clock
};

struct AnimationWindow {
  int buffer = -1;  // the picture's VirtualBuffer, made at start-up
  platform::PaletteId palette = 0;
  AnimationSettings settings;
  AnimationPlayer player;
  bool settingsRead = false;
  bool filling = false;  // the program is writing the boxes
  int32_t clock = 0;     // period of the running clock in milliseconds; 0 stopped
  // The shape browser's selection as a range, when there is one; installed
  // by the layer that owns the browser.
  std::function<std::optional<AnimationRange>()> selectedRange;
};

// ----- the rules of the player ----------------------------------------------

int32_t FrameCount(const AnimationRange& range);
// Shape number of the frame `position` frames after First.
int32_t FrameShape(const AnimationRange& range, int32_t position);
// The current shape and the seven after it, as far as the document goes.
AnimationRange DefaultAnimationRange(int32_t current, int32_t count);
// Both ends held to the document's shapes 0..count-1.
AnimationRange KeepRangeInDocument(AnimationRange range, int32_t count);
int32_t KeepAnimationSpeed(int32_t speed);
// Milliseconds from tick `tick` of a second to the next: the periods of one
// second add up to exactly 1000, so every speed keeps its rate.
int32_t FrameInterval(int32_t speed, int32_t tick);

// A new range plays from First, forwards.
void SetAnimationRange(AnimationPlayer& player, AnimationRange range);
// One tick of the clock: the next frame in the order's sequence.
void AdvanceFrame(AnimationPlayer& player, AnimationOrder order);
// The previous (-1) or next (1) frame of the range, wrapping round at its ends.
void StepFrame(AnimationPlayer& player, int32_t step);
// Frame 0 (First) or the last frame.
void GoToEnd(AnimationPlayer& player, bool last);
// The shape the player shows now.
inline int32_t ShownShape(const AnimationPlayer& player) { return FrameShape(player.range, player.position); }

// ----- drawing --------------------------------------------------------------

// What the frames are drawn with besides the shapes themselves.
struct AnimationScene {
  std::span<const Shape> helpers;
  const Shape& backdrop;
  std::span<const Shape> shapes;  // the document's
  int32_t background = 0;
};
// Draws the player's frame into the window's buffer, exactly as the Shape
// position window (or, with the figure, the Tavrel position window) would
// show that shape. Nothing for a frame outside the document.
void DrawAnimationFrame(DisplayState& display, const AnimationWindow& window, const AnimationScene& scene);

// ----- the settings store ---------------------------------------------------

void ReadAnimationSettings(platform::SettingsStore& store, AnimationSettings& settings);
void WriteAnimationSettings(platform::SettingsStore& store, const AnimationSettings& settings);

// ----- the window's controls ------------------------------------------------

// Writes every box, the list, the switches and the frame line from the record.
void FillAnimationWindow(platform::DialogHost& host, AnimationWindow& window);
// The frame line and the play button's face.
void ShowAnimationState(platform::DialogHost& host, const AnimationWindow& window);
// The frame line alone: "Shape 12 (3/8)".
void ShowAnimationFrameText(platform::DialogHost& host, const AnimationWindow& window);

// What a notification changed, for the caller to act on.
struct AnimationChange {
  bool frame = false;     // another frame or another way of drawing it
  bool clock = false;     // started, stopped or another speed
  bool settings = false;  // to be remembered
  bool close = false;     // the close box or Escape
};
// One notification of the window's controls, for a document of `count`
// shapes. Typed numbers outside their range are used held to it, and the
// box says so.
AnimationChange OnAnimationNotification(platform::DialogHost& host, AnimationWindow& window, int32_t count,
                                        const platform::DialogNotification& n);

}  // namespace qshe
