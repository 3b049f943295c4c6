#include "interchange/picture_imports.h"

#include <dirent.h>
#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "display/pcx.h"
#include "document/file_io.h"
#include "interchange/bitmap_import.h"
#include "platform/messages.h"

namespace qshe {
namespace {

// Hands out the slots of one import in turn and keeps count, so both imports
// stop the same way at the list's capacity: the pictures taken stay, every
// later one is counted as left out, and one message says so at the end.
class ShapePlacer {
 public:
  ShapePlacer(Document& doc, platform::MessageBoxes& boxes, const ImportChoice& choice)
      : doc_(doc), boxes_(boxes), choice_(choice), index_(FirstImportIndex(doc.list, choice.placement)) {}

  // The slot for the next picture, made ready; -1 once the list is full.
  int32_t Next() {
    ShapeList& list = doc_.list;
    const bool adding = choice_.mode == ImportMode::AddNew;
    if (!full_ && (adding ? list.count >= kShapeListCapacity : index_ >= kShapeListCapacity)) full_ = true;
    if (full_) {
      ++count_.leftOut;
      return -1;
    }
    if (adding) {
      AddShapes(list, boxes_, 1, kAddAtIndex + index_);
    } else if (index_ >= list.count) {
      // A slot past the end becomes a new shape; nothing of an older one stays.
      ClearShape(list.slots[static_cast<size_t>(index_)]);
    }
    doc_.state.modified = kModified;
    return index_;
  }

  // The picture is in slot `Next()` gave.
  void Filled() {
    ShapeList& list = doc_.list;
    if (choice_.center) CenterOffsets(list.slots[static_cast<size_t>(index_)]);
    ++index_;
    if (index_ > list.count) list.count = index_;
    ++count_.imported;
  }

  ImportCount Finish() {
    if (count_.leftOut > 0) {
      platform::ShowError(boxes_, "The shape list is full (at most " + std::to_string(kShapeListCapacity) +
                                      " shapes): " + std::to_string(count_.imported) +
                                      " pictures were imported and " + std::to_string(count_.leftOut) +
                                      " were left out.");
    }
    return count_;
  }

 private:
  Document& doc_;
  platform::MessageBoxes& boxes_;
  ImportChoice choice_;
  int32_t index_;
  bool full_ = false;
  ImportCount count_;
};

constexpr int kMaxCutOffset = 127;
constexpr const char* kNoFiles = "No files were found for importing.";

int Le16(std::span<const uint8_t> b, size_t at) { return b[at] | b[at + 1] << 8; }

}  // namespace

int32_t FirstImportIndex(const ShapeList& list, PlacementMode placement) {
  switch (placement) {
    case PlacementMode::AfterCurrent: return list.current + 1;
    case PlacementMode::ToBeginning: return 0;
    case PlacementMode::ToEnd: return list.count;
    case PlacementMode::StartingFromCurrent:
    case PlacementMode::BeforeCurrent:
    default: return list.current;
  }
}

std::vector<std::string> MatchingFiles(const std::string& pattern) {
  const size_t cut = pattern.find_last_of("/\\");
  std::string dir = cut == std::string::npos ? std::string() : pattern.substr(0, cut + 1);
  std::replace(dir.begin(), dir.end(), '\\', '/');
  // Only ? and * are wildcards; brackets in a name are plain characters.
  std::string name;
  for (char c : cut == std::string::npos ? pattern : pattern.substr(cut + 1)) {
    if (c == '[' || c == ']') name += '\\';
    name += c;
  }
  std::vector<std::string> found;
  std::unique_ptr<DIR, int (*)(DIR*)> d(::opendir(dir.empty() ? "." : dir.c_str()), ::closedir);
  if (!d) return found;
  while (const dirent* entry = ::readdir(d.get())) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (::fnmatch(name.c_str(), entry->d_name, 0) == 0) found.push_back(entry->d_name);
  }
  // Name order, whatever order the file system lists them in.
  std::sort(found.begin(), found.end());
  for (std::string& f : found) f = dir + f;
  return found;
}

ImportCount ImportPictureFiles(Document& doc, Canvas& canvas, platform::MessageBoxes& boxes,
                               const ColorMatcher& colors, const std::string& pattern, const ImportChoice& choice,
                               bool transparent) {
  std::vector<std::string> files;
  if (pattern.size() >= 3) files = MatchingFiles(pattern);
  if (files.empty()) {
    platform::ShowError(boxes, kNoFiles);
    return {};
  }
  ShapePlacer placer(doc, boxes, choice);
  for (const std::string& path : files) {
    const int32_t slot = placer.Next();
    if (slot < 0) continue;
    LoadBitmapFile(doc, canvas, boxes, colors, path, transparent, slot);
    placer.Filled();
  }
  return placer.Finish();
}

void CutShape(Shape& shape, const CollageWork& work) {
  int left = kCanvasSize, right = 0, bottom = kCanvasSize, top = 0;
  for (int r = 0; r < kCanvasSize; ++r) {
    for (int c = 0; c < kCanvasSize; ++c) {
      if (work.At(c, r) == 0) continue;
      left = std::min(left, c);
      right = std::max(right, c + 1);
      bottom = std::min(bottom, r);
      top = r + 1;
    }
  }
  if (right == 0 || !AllocateShape(shape, right - left, top - bottom)) {
    ClearShape(shape);
    return;
  }
  const size_t w = static_cast<size_t>(right - left);
  for (int r = bottom; r < top; ++r) {
    std::memcpy(shape.pixels.get() + static_cast<size_t>(r - bottom) * w, work.pixels.data() + static_cast<size_t>(r * kCanvasSize + left), w);
  }
  shape.offsetX = left / 2;
  // A shape file keeps offsets in one signed byte: a higher top would come
  // back from the file as a negative offset.
  shape.offsetY = std::min(top, kMaxCutOffset);
}

bool LoadSheet(DisplayState& display, int sheetSlot, platform::MessageBoxes& boxes, const std::string& path) {
  auto bytes = ReadWholeFile(path, kMaxSheetFileBytes);
  return LoadSheet(display, sheetSlot, boxes, bytes ? bytes->bytes() : std::span<const uint8_t>{}, path);
}

bool LoadSheet(DisplayState& display, int sheetSlot, platform::MessageBoxes& boxes, std::span<const uint8_t> b,
               const std::string& path) {
  auto refuse = [&] {
    platform::ShowError(boxes, "Can not load PCX file " + path +
                                   " - Only 8-bit / 640 x 480 pixels PCX files supported.");
    return false;
  };
  if (sheetSlot < 0 || sheetSlot >= kBufferSlots) return refuse();
  const VirtualBuffer& sheet = display.buffers[static_cast<size_t>(sheetSlot)];
  if (sheet.free() || sheet.width < kSheetWidth || sheet.height != kSheetHeight) return refuse();
  if (b.size() < 12) return refuse();

  const int savedSlot = display.activeSlot, savedX = display.x, savedY = display.y;
  SelectBuffer(display, sheetSlot);
  MoveTo(display, 0, 0);
  MemorySource source(b);
  const int shown = ShowPcx(display, source);
  if (savedSlot >= 0) {
    SelectBuffer(display, savedSlot);
  } else {
    display.activeSlot = -1;
  }
  MoveTo(display, savedX, savedY);
  if (shown != kPcxShown) return refuse();

  // A smaller sheet covers only the top left of the buffer: the rest takes
  // the sheet's background, so nothing of an earlier sheet turns into shapes.
  // A larger one has been cut to the buffer.
  const int w = std::min(Le16(b, 8) - Le16(b, 4) + 1, kSheetWidth);
  const int h = std::min(Le16(b, 10) - Le16(b, 6) + 1, kSheetHeight);
  if (w < kSheetWidth || h < kSheetHeight) {
    const uint8_t key = sheet.Row(h - 1)[w - 1];
    for (int row = 0; row < kSheetHeight; ++row) {
      uint8_t* line = sheet.Row(row);
      const int from = row < h ? w : 0;
      std::memset(line + from, key, static_cast<size_t>(kSheetWidth - from));
    }
  }
  return true;
}

ImportCount CutSheet(Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice) {
  const int key = ReadSheetPixel(sheet, kSheetWidth - 1, 0);
  auto pixel = [&](int x, int y) { return ReadSheetPixel(sheet, x, y); };
  ShapePlacer placer(doc, boxes, choice);
  auto work = std::make_unique<CollageWork>();
  for (int y = 0; y < kSheetHeight;) {
    int bandEnd = 0;
    for (int x = 0; x < kSheetWidth;) {
      const int c = pixel(x, y);
      if (c == key) {
        ++x;
        continue;
      }
      // (x, y) is a frame's lower-left corner: its left side gives the
      // height, its bottom side the width.
      int upper = y, right = x;
      while (upper < kSheetHeight && pixel(x, upper) == c) ++upper;
      while (right < kSheetWidth && pixel(right, y) == c) ++right;
      const int frameHeight = upper - y, frameWidth = right - x;
      const int32_t slot = placer.Next();
      if (slot >= 0) {
        work->pixels.fill(0);
        // The inside sits left-aligned and vertically centred. One taller than
        // the work image keeps its lowest rows, one wider its leftmost columns
        // (at most 255 each way, the largest shape there is).
        const int base = std::max((kCanvasSize - frameHeight) / 2, 0);
        for (int j = 1; j < frameHeight - 1 && j < kCanvasSize; ++j) {
          for (int i = 1; i < frameWidth - 1 && i < kCanvasSize; ++i) {
            const int p = pixel(x + i, y + j);
            work->At(i - 1, base + j - 1) = static_cast<uint8_t>(p == key ? 0 : p);
          }
        }
        CutShape(doc.list.slots[static_cast<size_t>(slot)], *work);
        placer.Filled();
      }
      bandEnd = upper;
      x = right + 1;
    }
    y = bandEnd > y ? bandEnd + 1 : y + 1;
  }
  return placer.Finish();
}

ImportCount ImportCollage(Document& doc, DisplayState& display, int sheetSlot, platform::MessageBoxes& boxes,
                          const std::string& path, const ImportChoice& choice) {
  if (!LoadSheet(display, sheetSlot, boxes, path)) return {};
  return CutSheet(doc, display.buffers[static_cast<size_t>(sheetSlot)], boxes, choice);
}

}  // namespace qshe
