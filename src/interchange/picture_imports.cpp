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
#include "interchange/bmp_codec.h"
#include "interchange/png_codec.h"
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

// The largest sheet file read: a PCX sheet as below, or a BMP or PNG sheet
// of the largest size.
constexpr uint64_t kMaxSheetBytes = std::max(kMaxSheetFileBytes, PictureFileLimit(kMaxSheetSide));

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
  return ImportPictureFiles(history, doc, boxes, colors, pattern, choice, NearestChoice(transparent));
}

ImportCount ImportPictureFiles(History& history, Document& doc, platform::MessageBoxes& boxes,
                               const ColorMatcher& colors, const std::string& pattern, const ImportChoice& choice,
                               const ColorChoice& reduction) {
  std::vector<std::string> files;
  if (pattern.size() >= 3) files = MatchingFiles(pattern);
  if (files.empty()) {
    platform::ShowError(boxes, kNoFiles);
    return {};
  }
  return ImportPictureList(history, doc, boxes, colors, files, choice, reduction);
}

ImportCount ImportPictureList(History& history, Document& doc, platform::MessageBoxes& boxes,
                              const ColorMatcher& colors, const std::vector<std::string>& files,
                              const ImportChoice& choice, const ColorChoice& reduction) {
  if (files.empty()) return {};
  ShapePlacer placer(history, doc, boxes, choice, "file");
  for (const std::string& path : files) {
    if (placer.Full()) continue;
    PictureShape read = ReadPictureShape(path, colors, reduction);
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

namespace {

// The one rule that cuts a sheet into frames, whatever the sheet is made of.
// `Sheet` gives each pixel's value (compared for equality only), tells
// which values count as empty when a frame's inside is checked for what
// reaches past the largest shape, and fills the work image from a frame's
// inside.
template <typename Sheet>
ImportCount CutFrames(History& history, Document& doc, platform::MessageBoxes& boxes, const ImportChoice& choice,
                      const std::string& path, const Sheet& sheet) {
  const int width = sheet.width, height = sheet.height;
  if (width <= 0 || height <= 0) return {};
  const uint32_t key = sheet.At(width - 1, 0);
  ShapePlacer placer(history, doc, boxes, choice, "frame");
  auto work = std::make_unique<CollageWork>();
  for (int y = 0; y < height;) {
    int bandEnd = 0;
    for (int x = 0; x < width;) {
      const uint32_t c = sheet.At(x, y);
      if (c == key) {
        ++x;
        continue;
      }
      // (x, y) is a frame's lower-left corner: its left side gives the
      // height, its bottom side the width.
      int upper = y, right = x;
      while (upper < height && sheet.At(x, upper) == c) ++upper;
      while (right < width && sheet.At(right, y) == c) ++right;
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
          if (!sheet.Empty(sheet.At(frameX + i, y + j), key)) {
            tooBig = true;
            break;
          }
        }
      }
      if (tooBig) {
        // Named as an image program shows it: its top-left corner, rows down.
        placer.Refused(path + ", the frame at " + std::to_string(frameX) + ", " + std::to_string(height - upper) +
                           " (" + std::to_string(frameWidth) + " x " + std::to_string(frameHeight) + ")",
                       PictureErrorReason(PictureFailure(PictureError::TooBig)));
        continue;
      }
      work->pixels.fill(0);
      const int base = std::max((kCanvasSize - frameHeight) / 2, 0);
      const int insideWidth = std::min(frameWidth - 2, kCanvasSize - 1);
      const int insideHeight = std::min(frameHeight - 2, kCanvasSize - 1);
      if (insideWidth > 0 && insideHeight > 0) sheet.Fill(*work, frameX + 1, y + 1, insideWidth, insideHeight, base, key);
      Shape cut;
      CutShape(cut, *work);
      placer.Take(std::move(cut));
    }
    y = bandEnd > y ? bandEnd + 1 : y + 1;
  }
  return placer.Finish();
}

// What becomes of a stored game-colour index inside a frame.
struct StoredIndex {
  const ColorChoice& colors;
  const GamePalette* palette;  // for ThisColor; none: no index matches
  uint8_t operator()(uint32_t v, uint32_t key) const {
    switch (colors.transparency) {
      case Transparency::None: return static_cast<uint8_t>(v);
      case Transparency::ThisColor: {
        if (!palette) return static_cast<uint8_t>(v);
        const uint8_t* c = palette->data() + 3 * v;
        const platform::Rgb rgb{c[0], c[1], c[2]};
        return rgb == colors.color ? 0 : static_cast<uint8_t>(v);
      }
      case Transparency::Automatic:
      default: return v == key ? 0 : static_cast<uint8_t>(v);
    }
  }
};

// The 640 x 480 sheet buffer, its values game-colour indices.
struct BufferSheet {
  const VirtualBuffer& buffer;
  StoredIndex index;
  int width = kSheetWidth;
  int height = kSheetHeight;
  uint32_t At(int x, int y) const { return static_cast<uint32_t>(ReadSheetPixel(buffer, x, y)); }
  bool Empty(uint32_t v, uint32_t key) const { return v == key || v == 0; }
  void Fill(CollageWork& work, int x0, int y0, int w, int h, int base, uint32_t key) const {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) work.At(i, base + j) = index(At(x0 + i, y0 + j), key);
  }
};

// A decoded picture of any size. Palettised: compared by index, and either
// taken as stored or matched by each entry's colour. Otherwise compared by
// colour (every pixel of alpha 0 counts as one colour) and always matched.
struct PictureSheet {
  const Picture& picture;
  bool match;
  const ColorChoice& colors;
  const ColorMatcher& matcher;
  int width;
  int height;

  PictureSheet(const Picture& p, bool m, const ColorChoice& c, const ColorMatcher& cm)
      : picture(p), match(m || !p.indexed), colors(c), matcher(cm), width(p.width), height(p.height) {}

  uint32_t At(int x, int y) const {
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    if (picture.indexed) return picture.pixels[i];
    const uint8_t* p = picture.pixels.data() + 4 * i;
    return p[3] == 0 ? 0 : (1u << 24 | static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]);
  }
  bool Empty(uint32_t v, uint32_t key) const { return v == key || (!match && v == 0) || (!picture.indexed && v == 0); }
  const uint8_t* Rgb(uint32_t v, int x, int y) const {
    if (picture.indexed) return picture.palette.data() + 3 * v;
    return picture.pixels.data() + 4 * (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x));
  }
  bool Transparent(uint32_t v, uint32_t key, const uint8_t* rgb) const {
    switch (colors.transparency) {
      case Transparency::None: return false;
      case Transparency::ThisColor:
        return rgb[0] == colors.color.red && rgb[1] == colors.color.green && rgb[2] == colors.color.blue;
      case Transparency::Automatic:
      default: return v == key || (!picture.indexed && v == 0);
    }
  }
  void Fill(CollageWork& work, int x0, int y0, int w, int h, int base, uint32_t key) const {
    if (!match) {
      const StoredIndex index{colors, &matcher.palette()};
      for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) work.At(i, base + j) = index(At(x0 + i, y0 + j), key);
      return;
    }
    // The inside as a picture of its own, reduced as a whole so that a
    // dither runs across it and stops at its edges.
    const size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<uint8_t> rgba(4 * count), mask(count), out(count);
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        const size_t k = static_cast<size_t>(j) * static_cast<size_t>(w) + static_cast<size_t>(i);
        const uint32_t v = At(x0 + i, y0 + j);
        const uint8_t* rgb = Rgb(v, x0 + i, y0 + j);
        std::memcpy(&rgba[4 * k], rgb, 3);
        mask[k] = Transparent(v, key, rgb);
      }
    }
    ReduceWith(colors.method, {w, h, rgba.data(), mask.data()}, matcher, out.data());
    for (int j = 0; j < h; ++j)
      std::memcpy(&work.At(0, base + j), out.data() + static_cast<size_t>(j) * static_cast<size_t>(w),
                  static_cast<size_t>(w));
  }
};

}  // namespace

ImportCount CutSheet(History& history, Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const std::string& path) {
  static const ColorChoice automatic;
  return CutFrames(history, doc, boxes, choice, path, BufferSheet{sheet, {automatic, nullptr}});
}

ImportCount CutSheet(History& history, Document& doc, const VirtualBuffer& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const ColorChoice& colors, const GamePalette& palette,
                     const std::string& path) {
  return CutFrames(history, doc, boxes, choice, path, BufferSheet{sheet, {colors, &palette}});
}

ImportCount CutSheet(History& history, Document& doc, const Picture& sheet, platform::MessageBoxes& boxes,
                     const ImportChoice& choice, const SheetColors& colors, const ColorMatcher& matcher, const std::string& path) {
  return CutFrames(history, doc, boxes, choice, path, PictureSheet(sheet, colors.match, colors.colors, matcher));
}

namespace {

std::string SheetTooBig(const std::string& path) {
  return "This sheet is too big. The largest sheet is " + std::to_string(kMaxSheetSide) + " x " +
         std::to_string(kMaxSheetSide) + " pixels. (" + path + ")";
}

std::string PcxRefused(const std::string& path) {
  return "Can not load PCX file " + path + " - Only 8-bit / 640 x 480 pixels PCX files supported.";
}

}  // namespace

SheetFile DecodeSheet(std::span<const uint8_t> bytes, bool match, const std::string& path) {
  SheetFile out;
  if (IsPng(bytes) || IsBmp(bytes)) {
    PictureResult r = IsPng(bytes) ? DecodePng(bytes, kMaxSheetSide, int64_t{kMaxSheetSide} * kMaxSheetSide)
                                   : DecodeBmp(bytes, kMaxSheetSide);
    if (r.error == PictureError::TooBig) {
      out.message = SheetTooBig(path);
    } else if (!r.ok()) {
      out.message = PictureErrorMessage(r, path);
    } else {
      out.picture = std::move(r.picture);
      out.decoded = true;
    }
    return out;
  }
  if (!match) {
    // Game colours as stored: the sheet buffer and its 640 x 480, as always.
    out.pcxAsStored = true;
    return out;
  }
  // A PCX sheet whose colours are matched: any size up to the largest
  // sheet, decoded into a buffer of its own so the editor's palette and
  // sheet buffer stay as they are.
  if (bytes.size() < 128) {
    out.message = PcxRefused(path);
    return out;
  }
  const int w = Le16(bytes, 8) - Le16(bytes, 4) + 1, h = Le16(bytes, 10) - Le16(bytes, 6) + 1;
  if (w <= 0 || h <= 0) {
    out.message = PcxRefused(path);
    return out;
  }
  if (w > kMaxSheetSide || h > kMaxSheetSide) {
    out.message = SheetTooBig(path);
    return out;
  }
  auto display = std::make_unique<DisplayState>();
  InitDisplay(*display);
  const int slot = AllocBuffer(*display, w, h);
  if (slot < 0 || SelectBuffer(*display, slot) != 0) {
    out.message = "Not enough memory to load the sheet. (" + path + ")";
    return out;
  }
  MoveTo(*display, 0, 0);
  MemorySource source(bytes);
  std::array<uint8_t, 768> rgb{};
  if (ShowPcx(*display, source) != kPcxShown || ReadPcxPalette(source, rgb) <= 0) {
    out.message = PcxRefused(path);
    return out;
  }
  Picture& p = out.picture;
  p.width = w;
  p.height = h;
  p.indexed = true;
  p.palette.assign(rgb.begin(), rgb.end());
  p.pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  const VirtualBuffer& buffer = display->buffers[static_cast<size_t>(slot)];
  for (int row = 0; row < h; ++row) {
    std::memcpy(p.pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(w), buffer.Row(h - 1 - row),
                static_cast<size_t>(w));
  }
  out.decoded = true;
  return out;
}

ImportCount ImportCollage(History& history, Document& doc, DisplayState& display, int sheetSlot,
                          platform::MessageBoxes& boxes, const std::string& path, const ImportChoice& choice) {
  if (!LoadSheet(display, sheetSlot, boxes, path)) return {};
  return CutSheet(history, doc, display.buffers[static_cast<size_t>(sheetSlot)], boxes, choice, path);
}

ImportCount ImportCollage(History& history, Document& doc, DisplayState& display, int sheetSlot,
                          platform::MessageBoxes& boxes, const std::string& path, const ImportChoice& choice,
                          const SheetColors& colors, const ColorMatcher& matcher) {
  ReadProblem problem;
  auto bytes = ReadWholeFile(path, kMaxSheetBytes, &problem);
  if (!bytes) {
    platform::ShowError(boxes, problem.kind == ReadFailure::TooLarge ? SheetTooBig(path) : PcxRefused(path));
    return {};
  }
  SheetFile sheet = DecodeSheet(bytes->bytes(), colors.match, path);
  if (sheet.pcxAsStored) {
    if (!LoadSheet(display, sheetSlot, boxes, bytes->bytes(), path)) return {};
    return CutSheet(history, doc, display.buffers[static_cast<size_t>(sheetSlot)], boxes, choice, colors.colors,
                    matcher.palette(), path);
  }
  if (!sheet.decoded) {
    platform::ShowError(boxes, sheet.message);
    return {};
  }
  return CutSheet(history, doc, sheet.picture, boxes, choice, colors, matcher, path);
}

}  // namespace qshe
