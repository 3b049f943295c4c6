#include "interchange/picture_imports.h"

#include <dirent.h>
#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "display/pcx.h"
#include "document/file_io.h"
#include "interchange/bitmap_import.h"
#include "platform/messages.h"

namespace qshe {
namespace {

// Hands out the places of one import in turn and keeps count, so both imports
// stop the same way at the list's capacity and report the same way: the
// pictures taken stay, every later one is counted as left out, and one
// message at the end names what could not be used. The shapes are made aside
// and go into the list together, as one change of its history: inserted from
// the first index, or replacing the shapes there and extending the list past
// its end.
class ShapePlacer {
 public:
  ShapePlacer(History& history, Document& doc, platform::MessageBoxes& boxes, const ImportChoice& choice,
              std::string noun)
      : history_(history),
        doc_(doc),
        boxes_(boxes),
        choice_(choice),
        first_(FirstImportIndex(doc.list, choice.placement)),
        noun_(std::move(noun)) {}

  // True when the list has no room for one more picture; that picture is
  // then counted as left out.
  bool Full() {
    const int32_t taken = static_cast<int32_t>(pending_.size());
    if (!full_) {
      full_ = Adding() ? doc_.list.count + taken >= kShapeListCapacity : first_ + taken >= kShapeListCapacity;
    }
    if (full_) ++count_.leftOut;
    return full_;
  }

  // The picture takes the next place.
  void Take(Shape shape) {
    if (choice_.center) CenterOffsets(shape);
    pending_.push_back(std::move(shape));
    ++count_.imported;
  }

  // A picture that cannot be used keeps its place for the ones after it (an
  // empty shape when adding, the old shape when replacing); the places go
  // into the list only once a picture is taken, so a run that takes none
  // changes nothing.
  void Refused(std::string what, std::string reason) {
    Shape kept;
    const int32_t index = first_ + static_cast<int32_t>(pending_.size());
    if (!Adding() && index < doc_.list.count) CopyShape(doc_.list.slots[static_cast<size_t>(index)], kept);
    pending_.push_back(std::move(kept));
    ++count_.failed;
    if (failures_.size() < kListedFailures) failures_.push_back(std::move(what) + ": " + std::move(reason));
  }

  ImportCount Finish() {
    if (count_.imported > 0) Place();
    std::string text;
    if (count_.failed > 0) {
      text = std::to_string(count_.failed) + " " + noun_ +
             (count_.failed == 1 ? " could not be imported. " : "s could not be imported. ");
      text += count_.imported == 0   ? "No picture was imported."
              : count_.imported == 1 ? "1 picture was imported."
                                     : std::to_string(count_.imported) + " pictures were imported.";
      text += "\n";
      for (const std::string& line : failures_) text += "\n" + line;
      if (count_.failed > static_cast<int32_t>(failures_.size()))
        text += "\n... and " + std::to_string(count_.failed - static_cast<int32_t>(failures_.size())) + " more.";
    }
    if (count_.leftOut > 0) {
      if (!text.empty()) text += "\n\n";
      text += "The shape list is full (at most " + std::to_string(kShapeListCapacity) +
              " shapes): " + std::to_string(count_.imported) + " pictures were imported and " +
              std::to_string(count_.leftOut) + " were left out.";
    }
    if (!text.empty()) platform::ShowError(boxes_, text);
    return count_;
  }

 private:
  static constexpr size_t kListedFailures = 10;

  bool Adding() const { return choice_.mode == ImportMode::AddNew; }

  void Place() {
    ShapeList& list = doc_.list;
    const int32_t n = static_cast<int32_t>(pending_.size());
    if (n == 0) return;
    MarkModified(doc_);
    if (Adding()) {
      InsertShapes(history_, list, first_, std::move(pending_));
      return;
    }
    const int32_t replaced = std::clamp(list.count - first_, 0, n);
    std::vector<Shape> beyond(std::make_move_iterator(pending_.begin() + replaced),
                              std::make_move_iterator(pending_.end()));
    pending_.resize(static_cast<size_t>(replaced));
    if (replaced > 0) ReplaceShapes(history_, list, first_, std::move(pending_));
    if (!beyond.empty()) InsertShapes(history_, list, list.count, std::move(beyond));
  }

  History& history_;
  Document& doc_;
  platform::MessageBoxes& boxes_;
  ImportChoice choice_;
  int32_t first_;
  std::string noun_;
  std::vector<Shape> pending_;
  bool full_ = false;
  ImportCount count_;
  std::vector<std::string> failures_;
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

ImportCount ImportPictureFiles(History& history, Document& doc, platform::MessageBoxes& boxes,
                               const ColorMatcher& colors, const std::string& pattern, const ImportChoice& choice,
                               bool transparent) {
  std::vector<std::string> files;
  if (pattern.size() >= 3) files = MatchingFiles(pattern);
  if (files.empty()) {
    platform::ShowError(boxes, kNoFiles);
    return {};
  }
  ShapePlacer placer(history, doc, boxes, choice, "file");
  for (const std::string& path : files) {
    if (placer.Full()) continue;
    PictureShape read = ReadPictureShape(path, colors, transparent);
    if (!read.reason.empty()) {
      placer.Refused(path, read.reason);
      continue;
    }
    placer.Take(std::move(read.shape));
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

ImportCount CutSheet(History& history, Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const std::string& path) {
  const int key = ReadSheetPixel(sheet, kSheetWidth - 1, 0);
  auto pixel = [&](int x, int y) { return ReadSheetPixel(sheet, x, y); };
  ShapePlacer placer(history, doc, boxes, choice, "frame");
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
      bandEnd = upper;
      const int frameX = x;
      x = right + 1;
      if (placer.Full()) continue;
      // The inside sits left-aligned and vertically centred in the work
      // image, which holds its lowest 255 rows and leftmost 255 columns, as
      // large as a shape can be. A picture that reaches past them is refused
      // rather than cut.
      bool tooBig = false;
      for (int j = 1; j < frameHeight - 1 && !tooBig; ++j) {
        for (int i = j < kCanvasSize ? kCanvasSize : 1; i < frameWidth - 1; ++i) {
          const int p = pixel(frameX + i, y + j);
          if (p != key && p != 0) {
            tooBig = true;
            break;
          }
        }
      }
      if (tooBig) {
        // Named as an image program shows it: its top-left corner, rows down.
        placer.Refused(path + ", the frame at " + std::to_string(frameX) + ", " + std::to_string(kSheetHeight - upper) +
                           " (" + std::to_string(frameWidth) + " x " + std::to_string(frameHeight) + ")",
                       PictureErrorReason(PictureFailure(PictureError::TooBig)));
        continue;
      }
      work->pixels.fill(0);
      const int base = std::max((kCanvasSize - frameHeight) / 2, 0);
      for (int j = 1; j < frameHeight - 1 && j < kCanvasSize; ++j) {
        for (int i = 1; i < frameWidth - 1 && i < kCanvasSize; ++i) {
          const int p = pixel(frameX + i, y + j);
          work->At(i - 1, base + j - 1) = static_cast<uint8_t>(p == key ? 0 : p);
        }
      }
      Shape cut;
      CutShape(cut, *work);
      placer.Take(std::move(cut));
    }
    y = bandEnd > y ? bandEnd + 1 : y + 1;
  }
  return placer.Finish();
}

ImportCount ImportCollage(History& history, Document& doc, DisplayState& display, int sheetSlot,
                          platform::MessageBoxes& boxes, const std::string& path, const ImportChoice& choice) {
  if (!LoadSheet(display, sheetSlot, boxes, path)) return {};
  return CutSheet(history, doc, display.buffers[static_cast<size_t>(sheetSlot)], boxes, choice, path);
}

}  // namespace qshe
