// The window title, the shape slider with its counter.
#pragma once

#include <string>

#include "app/editor.h"

namespace qshe {

inline constexpr size_t kMaxTitleLength = 511;
// The shape slider's box in the window (inclusive).
inline constexpr int kSliderLeft = 16, kSliderRight = 171, kSliderTop = 213, kSliderBottom = 252;

// The title text for a document name ("new" or a path). A path too long for
// the title is shortened in the middle, keeping the file name.
std::string DocumentTitle(const std::string& name);
void SetDocumentTitle(Editor& e, const std::string& name);

// Knob offset along the track for shape `current` of `count`.
int SliderKnobOffset(int current, int count);
// The shape a press or drag at x picks, or -1 outside the track.
int SliderPick(int x, int count);

void DrawShapeSlider(Editor& e);
void DrawShapeCounter(Editor& e);
void PresentShapeSlider(Editor& e);
void SliderPress(Editor& e, int x, int y);
void SliderDrag(Editor& e, int x, int y);
void SliderRelease(Editor& e);

}  // namespace qshe
