#include "document/shape_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>

#include "document/file_io.h"
#include "document/object_file.h"
#include "platform/messages.h"

namespace qshe {
namespace {

constexpr uint8_t kQs2Signature[8] = {'Q', 'S', 'H', '2', '.', '0', '0', '1'};
constexpr size_t kQs2HeaderSize = 16;
constexpr int32_t kMaxSide = 255;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t S32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
}

bool IsQs2(std::span<const uint8_t> bytes) {
  return bytes.size() >= 4 && std::memcmp(bytes.data(), kQs2Signature, 4) == 0;
}

std::string Format(const char* fmt, long long a, long long b = 0) {
  char text[200];
  std::snprintf(text, sizeof text, fmt, a, b);
  return text;
}

// Where the records start and how many there are, after the header checks.
struct Header {
  LoadStatus status = LoadStatus::Ok;
  ShapeFileFormat format = ShapeFileFormat::Qsh;
  size_t recordsAt = 0;
  int64_t count = 0;
  std::string detail;
};

// `signedQshCount`: the count of a QSH file read as a signed 16-bit number,
// as the single-shape reader does; a negative count holds no shapes.
Header ReadHeader(std::span<const uint8_t> bytes, bool signedQshCount = false) {
  Header h;
  if (IsQs2(bytes)) {
    h.format = ShapeFileFormat::Qs2;
    if (bytes.size() < kQs2HeaderSize) {
      h.status = LoadStatus::Damaged;
      h.detail = "the file is shorter than its header";
      return h;
    }
    if (bytes[12] == 1) {
      h.status = LoadStatus::Encrypted;
      return h;
    }
    h.count = S32(bytes.data() + 8);
    if (h.count < 0) {
      h.status = LoadStatus::Damaged;
      h.detail = Format("the file announces %lld shapes", h.count);
      return h;
    }
    h.recordsAt = kQs2HeaderSize;
    return h;
  }
  if (bytes.size() < 2) {
    h.status = LoadStatus::Damaged;
    h.detail = "the file is shorter than its header";
    return h;
  }
  h.count = U16(bytes.data());
  if (signedQshCount && h.count > 0x7FFF) {
    h.count -= 0x10000;
    h.recordsAt = 2;
    return h;
  }
  h.recordsAt = 2 + 2 * static_cast<size_t>(h.count);
  if (bytes.size() < h.recordsAt) {
    h.status = LoadStatus::Damaged;
    h.detail = "the file is shorter than its header";
  }
  return h;
}

size_t RecordHeaderSize(ShapeFileFormat format) { return format == ShapeFileFormat::Qs2 ? 6 : 4; }

// Checks that record i starts inside the file and holds all its pixels;
// returns the offset of the next record, or 0 when the file ends inside it.
size_t NextRecord(std::span<const uint8_t> bytes, size_t at, ShapeFileFormat format) {
  size_t head = RecordHeaderSize(format);
  if (bytes.size() - at < head) return 0;
  size_t pixels = static_cast<size_t>(bytes[at]) * bytes[at + 1];
  if (bytes.size() - at - head < pixels) return 0;
  return at + head + pixels;
}

// Fills `shape` from the record at `at`, whose bounds are already checked.
// Fills `shape` from a record's header and its pixels, already read.
void DecodeRecord(const uint8_t* record, ShapeFileFormat format, Shape& shape, PixelBlock block) {
  ClearShape(shape);
  shape.width = record[0];
  shape.height = record[1];
  shape.offsetX = static_cast<int8_t>(record[2]);
  shape.offsetY = static_cast<int8_t>(record[3]);
  if (format == ShapeFileFormat::Qs2) shape.replacement = static_cast<int16_t>(U16(record + 4));
  shape.pixels = std::move(block);
}

LoadResult Fail(LoadStatus status, ShapeFileFormat format, std::string detail) {
  LoadResult r;
  r.status = status;
  r.format = format;
  r.detail = std::move(detail);
  return r;
}

void PutU16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = static_cast<uint8_t>(v);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

LoadResult DecodeShapes(ByteStream& in, std::span<Shape> table, bool withPixels) {
  const uint64_t size = in.size();
  uint8_t start[kQs2HeaderSize] = {};
  size_t taken = static_cast<size_t>(std::min<uint64_t>(size, 4));
  if (!in.Read(start, taken)) return Fail(LoadStatus::CannotOpen, ShapeFileFormat::Qsh, "it could not be read");
  ShapeFileFormat format = ShapeFileFormat::Qsh;
  int64_t count = 0;
  auto shortHeader = [&] { return Fail(LoadStatus::Damaged, format, "the file is shorter than its header"); };
  if (IsQs2({start, taken})) {
    format = ShapeFileFormat::Qs2;
    if (size < kQs2HeaderSize || !in.Read(start + taken, kQs2HeaderSize - taken)) return shortHeader();
    if (start[12] == 1) return Fail(LoadStatus::Encrypted, format, {});
    count = S32(start + 8);
    if (count < 0) return Fail(LoadStatus::Damaged, format, Format("the file announces %lld shapes", count));
  } else {
    if (size < 2) return shortHeader();
    count = U16(start);
    // The table of record lengths says nothing the records do not.
    const uint64_t recordsAt = 2 + 2 * static_cast<uint64_t>(count);
    if (size < recordsAt) return shortHeader();
    if (recordsAt > taken && !in.Skip(recordsAt - taken)) return shortHeader();
  }
  if (count > static_cast<int64_t>(table.size())) {
    return Fail(LoadStatus::TooMany, format,
                Format("the file holds %lld shapes, more than the %lld the editor can hold", count,
                       static_cast<long long>(table.size())));
  }

  // Read aside first, so that a damaged file or a failed allocation leaves
  // the table as it was. Only the blocks the shapes keep are ever held: a
  // file is never in memory twice.
  std::vector<Shape> read(static_cast<size_t>(count));
  const size_t head = RecordHeaderSize(format);
  for (int64_t i = 0; i < count; ++i) {
    uint8_t record[6];
    auto cut = [&] {
      return Fail(LoadStatus::Damaged, format, Format("the file ends inside shape %lld of %lld", i, count));
    };
    if (!in.Read(record, head)) return cut();
    const size_t pixels = static_cast<size_t>(record[0]) * record[1];
    PixelBlock block;
    if (pixels > 0 && withPixels) {
      if (!block.Allocate(pixels)) return Fail(LoadStatus::CannotOpen, format, "not enough memory");
      if (!in.Read(block.get(), pixels)) return cut();
    } else if (!in.Skip(pixels)) {
      return cut();
    }
    DecodeRecord(record, format, read[static_cast<size_t>(i)], std::move(block));
  }
  for (size_t i = 0; i < read.size(); ++i) table[i] = std::move(read[i]);
  LoadResult r;
  r.status = LoadStatus::Ok;
  r.format = format;
  r.count = static_cast<int32_t>(count);
  return r;
}

LoadResult DecodeShapeFile(std::span<const uint8_t> bytes, std::span<Shape> table) {
  SpanSource in(bytes);
  return DecodeShapes(in, table, true);
}

namespace {

// Explains a read that gave nothing. A directory, a device or a FIFO is there
// but is no shape file, and neither is a file larger than any can be: said,
// unlike a file that is simply missing.
LoadResult ReadFailed(const ReadProblem& problem) {
  switch (problem.kind) {
    case ReadFailure::NotRegularFile:
      return Fail(LoadStatus::Damaged, ShapeFileFormat::Qsh, "it is not a regular file");
    case ReadFailure::TooLarge:
      return Fail(LoadStatus::Damaged, ShapeFileFormat::Qsh,
                  "it is " + std::to_string(problem.size) + " bytes long, more than any shape file can be (" +
                      std::to_string(kMaxShapeFileBytes) + " bytes)");
    default: return Fail(LoadStatus::CannotOpen, ShapeFileFormat::Qsh, problem.text);
  }
}

}  // namespace

LoadResult LoadShapeFile(const std::string& path, std::span<Shape> table, bool withPixels) {
  ReadProblem problem;
  FileReader in;
  if (!in.Open(path, kMaxShapeFileBytes, &problem)) return ReadFailed(problem);
  LoadResult r = DecodeShapes(in, table, withPixels);
  // A read that failed is not a damaged file.
  if (r.status == LoadStatus::Damaged && !in.error().empty()) {
    return Fail(LoadStatus::CannotOpen, r.format, in.error());
  }
  return r;
}

std::optional<int32_t> FindOversizedShape(std::span<const Shape> shapes) {
  for (size_t i = 0; i < shapes.size(); ++i) {
    if (shapes[i].width > kMaxSide || shapes[i].height > kMaxSide) return static_cast<int32_t>(i);
  }
  return std::nullopt;
}

std::string OversizedShapeMessage(const Shape& shape, int32_t index) {
  char text[240];
  std::snprintf(text, sizeof text,
                "Shape %d is %d x %d pixels, but a shape file holds at most %d x %d. "
                "Shapes could not be saved.",
                index, shape.width, shape.height, kMaxSide, kMaxSide);
  return text;
}

namespace {

bool Empty(const Shape& s) { return s.width <= 0 || s.height <= 0; }

// Pixel bytes of a record: a shape is stored with pixels only when both
// sides are at least 1; QSH stores an empty shape as one transparent pixel.
size_t StoredPixels(const Shape& s, bool qs2) {
  if (!Empty(s)) return static_cast<size_t>(s.width) * static_cast<size_t>(s.height);
  return qs2 ? 0 : 1;
}

}  // namespace

uint64_t ShapeFileSize(std::span<const Shape> shapes, ShapeFileFormat format) {
  const bool qs2 = format == ShapeFileFormat::Qs2;
  uint64_t total = qs2 ? kQs2HeaderSize : 2 + 2 * uint64_t{shapes.size()};
  for (const Shape& s : shapes) total += RecordHeaderSize(format) + StoredPixels(s, qs2);
  return total;
}

bool WriteShapeFileTo(std::span<const Shape> shapes, ShapeFileFormat format, ByteSink& out) {
  const bool qs2 = format == ShapeFileFormat::Qs2;
  const size_t n = shapes.size();
  std::vector<uint8_t> header;
  if (qs2) {
    header.assign(kQs2HeaderSize, 0);  // encryption flag and reserved bytes stay 0
    std::memcpy(header.data(), kQs2Signature, 8);
    PutU16(header, 8, static_cast<uint32_t>(n));
    PutU16(header, 10, static_cast<uint32_t>(n) >> 16);
  } else {
    header.assign(2 + 2 * n, 0);
    PutU16(header, 0, static_cast<uint32_t>(n));
    for (size_t i = 0; i < n; ++i) {
      const Shape& s = shapes[i];
      PutU16(header, 2 + 2 * i, !Empty(s) ? static_cast<uint32_t>(s.width * s.height + 4) : 5);
    }
  }
  if (!out.Write(header)) return false;
  static const uint8_t kZeros[4096] = {};
  for (const Shape& s : shapes) {
    const bool empty = Empty(s);
    uint8_t r[6];
    r[0] = static_cast<uint8_t>(empty && !qs2 ? 1 : std::max(s.width, 0));
    r[1] = static_cast<uint8_t>(empty && !qs2 ? 1 : std::max(s.height, 0));
    r[2] = static_cast<uint8_t>(s.offsetX);
    r[3] = static_cast<uint8_t>(s.offsetY);
    r[4] = static_cast<uint8_t>(s.replacement);
    r[5] = static_cast<uint8_t>(static_cast<uint32_t>(s.replacement) >> 8);
    if (!out.Write(r, RecordHeaderSize(format))) return false;
    size_t pixels = StoredPixels(s, qs2);
    if (!empty && s.pixels) {
      if (!out.Write(s.pixels.get(), pixels)) return false;
      continue;
    }
    // A block that could not be obtained is written transparent; an empty
    // QSH shape's single pixel is 0 as well.
    while (pixels > 0) {
      const size_t part = std::min(pixels, sizeof kZeros);
      if (!out.Write(kZeros, part)) return false;
      pixels -= part;
    }
  }
  return true;
}

std::vector<uint8_t> EncodeShapeFile(std::span<const Shape> shapes, ShapeFileFormat format) {
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(ShapeFileSize(shapes, format)));
  VectorSink sink(out);
  WriteShapeFileTo(shapes, format, sink);
  return out;
}

void ShowDocumentTitle(Document& doc, platform::Platform& ui, const std::string& name) {
  if (doc.showTitle) {
    doc.showTitle(name);
  } else {
    ui.window.SetTitle(kTitlePrefix + name + "]");
  }
}

void StampDocumentFiles(Document& doc, const std::string& path) {
  doc.state.fileStamp = StampFile(path);
  auto side = SideFileToWrite(path);
  doc.state.sideStamp = side ? StampFile(*side) : FileStamp{};
}

int32_t ReadShapeFile(Document& doc, platform::Platform& ui, const std::string& path,
                      std::span<Shape> table) {
  // Taken before the read: a change made while it reads is asked about at
  // the next save rather than missed.
  const FileStamp fileStamp = StampFile(path);
  auto sideName = path.size() >= 2 ? SideFileToWrite(path) : std::nullopt;
  const FileStamp sideStamp = sideName ? StampFile(*sideName) : FileStamp{};
  LoadResult r = LoadShapeFile(path, table);
  switch (r.status) {
    case LoadStatus::Ok: break;
    case LoadStatus::CannotOpen: return kReadFailedCount;
    case LoadStatus::Encrypted:
      platform::ShowError(ui.boxes, "This QS2 file is encrypted and can not be loaded.");
      return kReadFailedCount;
    case LoadStatus::Damaged:
    case LoadStatus::TooMany:
      platform::ShowError(ui.boxes, "Could not load the shape file " + path + ": " + r.detail +
                                        ". Nothing was loaded.");
      return kReadRefused;
  }
  if (r.format == ShapeFileFormat::Qs2) doc.state.qs2Flag = 1;
  // Named from the root, so that a save, or a copy restored by an editor
  // started elsewhere, reaches this file and no other.
  doc.state.documentPath = AbsolutePath(path);
  doc.state.fileStamp = fileStamp;
  doc.state.sideStamp = sideStamp;
  ShowDocumentTitle(doc, ui, doc.state.documentPath);
  if (path.size() >= 2) ReadObjectFile(doc, SideFileToRead(path), r.count);
  return r.count;
}

bool ReadOneShape(platform::MessageBoxes& boxes, Shape& target, const std::string& path, int32_t n) {
  ReadProblem problem;
  auto file = ReadWholeFile(path, kMaxShapeFileBytes, &problem);
  if (!file && problem.kind != ReadFailure::CannotOpen) {
    platform::ShowError(boxes, "Could not load shape " + std::to_string(n) + " from " + path + ": " +
                                   ReadFailed(problem).detail + ".");
    return false;
  }
  if (!file) {
    platform::ShowError(boxes, "Could not load shape: File not found.");
    return false;
  }
  auto bytes = file->bytes();
  Header h = ReadHeader(bytes, true);
  if (h.status == LoadStatus::Encrypted) {
    platform::ShowError(boxes, "This QS2 file is encrypted and can not be loaded.");
    return false;
  }
  auto damaged = [&](const std::string& detail) {
    platform::ShowError(boxes, "Could not load shape " + std::to_string(n) + " from " + path + ": " +
                                   detail + ".");
    return false;
  };
  if (h.status != LoadStatus::Ok) return damaged(h.detail);
  if (n < 0 || n >= h.count) {
    platform::ShowError(boxes, Format("There is no shape number %lld in this shape file.", n));
    return false;
  }
  size_t at = h.recordsAt;
  for (int32_t i = 0; i < n; ++i) {
    at = NextRecord(bytes, at, h.format);
    if (at == 0) return damaged(Format("the file ends inside shape %lld", i));
  }
  if (NextRecord(bytes, at, h.format) == 0) return damaged(Format("the file ends inside shape %lld", n));
  size_t pixels = static_cast<size_t>(bytes[at]) * bytes[at + 1];
  PixelBlock block;
  if (pixels > 0) {
    if (!block.Allocate(pixels)) return damaged("not enough memory");
    std::memcpy(block.get(), bytes.data() + at + RecordHeaderSize(h.format), pixels);
  }
  DecodeRecord(bytes.data() + at, h.format, target, std::move(block));
  return true;
}

namespace {

// True when the file a save is about to replace is no longer the one this
// document read or last wrote: another program wrote it, or put another
// file in its place. A file that is gone has nothing to lose.
bool ChangedSince(const std::optional<FileStamp>& known, const std::string& name) {
  if (!known || name.empty()) return false;
  const FileStamp now = StampFile(name);
  return now.exists && now != *known;
}

bool AskOverwrite(platform::Platform& ui, const std::string& name) {
  ui.window.SetCursor(platform::Cursor::Arrow);
  const bool yes = platform::AskYesNo(ui.boxes, ChangedOnDiskQuestion(name));
  ui.window.SetCursor(platform::Cursor::Wait);
  return yes;
}

// The question before a save overwrites the document's own files when
// another program changed them; false when the user said No.
bool MayOverwrite(Document& doc, platform::Platform& ui, const std::string& path, const std::string& side) {
  if (doc.state.documentPath.empty() || AbsolutePath(path) != doc.state.documentPath) return true;
  if (ChangedSince(doc.state.fileStamp, path) && !AskOverwrite(ui, path)) return false;
  if (!side.empty() && ChangedSince(doc.state.sideStamp, side) && !AskOverwrite(ui, side)) return false;
  return true;
}

bool WriteShapeFile(Document& doc, platform::Platform& ui, const std::string& path,
                    std::span<const Shape> shapes, ShapeFileFormat format) {
  auto refuse = [&](const std::string& why) {
    platform::ShowError(ui.boxes, "Error while saving shapes - Shapes could not be saved: " + why +
                                      " Please try again.");
    return false;
  };
  if (auto big = FindOversizedShape(shapes)) {
    platform::ShowError(ui.boxes, OversizedShapeMessage(shapes[static_cast<size_t>(*big)], *big));
    return false;
  }
  // The shapes and their object properties go to disk as a pair: both or
  // neither, so the document is saved only when its side file is too.
  std::string side;
  if (doc.state.qbjFlag == 1 && path.size() >= 2) {
    std::string error;
    auto name = SideFileToWrite(path, &error);
    if (!name) return refuse(error);
    // The side file written over the shapes would leave no shape on disk.
    if (SameFile(*name, path)) {
      return refuse("The object properties would be written over the shapes in " + *name +
                    "; choose a name ending in .qsh or .qs2.");
    }
    side = *name;
  }
  if (!MayOverwrite(doc, ui, path, side)) return false;
  // The shapes go to the file as they are encoded: the document is never
  // in memory twice.
  std::vector<uint8_t> sideBytes;
  std::vector<FileToWrite> files = {
      {path, {}, [shapes, format](ByteSink& out) { return WriteShapeFileTo(shapes, format, out); }}};
  if (!side.empty()) {
    sideBytes = EncodeObjectFile(shapes);
    files.push_back({side, sideBytes});
  }
  if (auto failure = WriteFilesTogether(files)) {
    return refuse(failure->path == path ? failure->text : failure->text + " (" + failure->path + ")");
  }
  const std::string named = AbsolutePath(path);
  if (named != doc.state.documentPath || doc.state.modified != kUnmodified) NoteDocumentChange(doc);
  doc.state.documentPath = named;
  StampDocumentFiles(doc, path);
  ShowDocumentTitle(doc, ui, doc.state.documentPath);
  doc.state.modified = kUnmodified;
  return true;
}

}  // namespace

bool WriteQshFile(Document& doc, platform::Platform& ui, const std::string& path,
                  std::span<const Shape> shapes) {
  return WriteShapeFile(doc, ui, path, shapes, ShapeFileFormat::Qsh);
}

bool WriteQs2File(Document& doc, platform::Platform& ui, const std::string& path,
                  std::span<const Shape> shapes) {
  return WriteShapeFile(doc, ui, path, shapes, ShapeFileFormat::Qs2);
}

SaveResult SaveShapeFile(Document& doc, platform::Platform& ui, const std::string& path,
                         std::span<const Shape> shapes) {
  std::string name = path;
  if (name.empty()) {
    platform::FileDialogRequest request;
    request.filters = {{"Quorvane Shape file (*.qsh)", "*.qsh"},
                       {"Extended Shape file (*.qs2)", "*.qs2"},
                       {"All Files (*.*)", "*.*"}};
    request.initialName = "nameless.qsh";
    request.defaultExtension = "qsh";
    request.maxLength = 260;
    request.pathMustExist = true;
    request.promptOverwrite = true;
    auto chosen = ui.files.AskSaveFileName(request);
    if (!chosen || chosen->empty()) return kSaveCancelled;
    name = *chosen;
  }
  ui.window.SetCursor(platform::Cursor::Wait);
  bool ok;
  if (name.back() == '2') {
    ok = WriteQs2File(doc, ui, name, shapes);
  } else if (doc.state.qs2Flag == 1) {
    ui.window.SetCursor(platform::Cursor::Arrow);
    bool qs2 = platform::AskYesNo(
        ui.boxes,
        "This patch contains extended settings which can only be saved into QS2 file. Do you want "
        "to save QS2 file? (Yes for QS2, No for QSH)");
    ui.window.SetCursor(platform::Cursor::Wait);
    ok = qs2 ? WriteQs2File(doc, ui, Qs2NameFor(name), shapes) : WriteQshFile(doc, ui, name, shapes);
  } else {
    ok = WriteQshFile(doc, ui, name, shapes);
  }
  ui.window.SetCursor(platform::Cursor::Arrow);
  return ok ? kSaved : kSaveFailed;
}

std::string ObjectFileName(const std::string& path) {
  if (path.size() < 2) return {};
  // A three-letter extension keeps its first letter: .qsh and .qs2 give .qbj.
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  bool threeLetterExtension = dot != std::string::npos &&
                              (slash == std::string::npos || dot > slash) && path.size() - dot == 4;
  if (threeLetterExtension) return path.substr(0, path.size() - 2) + "bj";
  return path + ".qbj";
}

std::optional<std::string> SideFileToWrite(const std::string& path, std::string* error) {
  auto target = ResolveWriteTarget(path, error);
  if (!target) return std::nullopt;
  std::string side = ObjectFileName(*target);
  if (side.empty()) {
    if (error) *error = "The name is too short to have an object properties file beside it.";
    return std::nullopt;
  }
  return side;
}

std::string SideFileToRead(const std::string& path) {
  const std::string beside = ObjectFileName(path);
  auto written = SideFileToWrite(path);
  if (!written || *written == beside) return beside;
  return FileExists(*written) || !FileExists(beside) ? *written : beside;
}

std::string Qs2NameFor(const std::string& path) {
  if (EndsWithNoCase(path, ".qsh")) return path.substr(0, path.size() - 1) + "2";
  return path + ".qs2";
}

}  // namespace qshe
