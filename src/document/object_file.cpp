#include "document/object_file.h"

#include <algorithm>
#include <cstring>

#include "document/file_io.h"
#include "platform/messages.h"

namespace qshe {
namespace {

constexpr char kMagic[4] = {'Q', 'O', '0', '1'};

int32_t GetI32(const uint8_t* p) {
  uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  return static_cast<int32_t>(v);
}

void PutI32(std::vector<uint8_t>& out, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

int32_t ObjectBit(uint8_t byte, int32_t n) { return n >= 0 && n <= 7 ? (byte >> n) & 1 : 0; }

ObjectFileResult DecodeObjectFile(std::span<const uint8_t> bytes, std::span<Shape> shapes) {
  ObjectFileResult r;
  if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
    return r;
  }
  // The magic makes it a side file; a count cut short announces no records.
  r.isObjectFile = true;
  if (bytes.size() < kObjectHeaderSize) return r;
  r.announced = GetI32(bytes.data() + 4);
  const auto wanted = static_cast<size_t>(std::max(r.announced, 0));
  const size_t records = std::min(wanted, shapes.size());
  size_t at = kObjectHeaderSize;
  for (size_t i = 0; i < records && at < bytes.size(); ++i) {
    const uint8_t flags = bytes[at];
    const int32_t hasX = ObjectBit(flags, 3);
    const int32_t hasY = ObjectBit(flags, 4);
    const size_t length = 1 + static_cast<size_t>(hasX + hasY);
    if (bytes.size() - at < length) {
      r.endsInsideRecord = true;
      break;
    }
    Shape& s = shapes[i];
    s.walkable = ObjectBit(flags, 0);
    s.gettable = ObjectBit(flags, 1);
    s.sittable = ObjectBit(flags, 2);
    size_t next = at + 1;
    // A coordinate the record leaves out keeps the shape's own value.
    if (hasX) s.tavrelX = static_cast<int8_t>(bytes[next++]);
    if (hasY) s.tavrelY = static_cast<int8_t>(bytes[next++]);
    at = next;
    ++r.applied;
  }
  return r;
}

ObjectFileResult LoadObjectFile(const std::string& path, std::span<Shape> shapes) {
  // Refused from its size, so picking a huge file by mistake costs nothing.
  auto file = ReadWholeFile(path, kMaxObjectFileBytes);
  if (!file) return {};
  return DecodeObjectFile(file->bytes(), shapes);
}

std::vector<uint8_t> EncodeObjectFile(std::span<const Shape> shapes) {
  std::vector<uint8_t> out(kMagic, kMagic + sizeof kMagic);
  PutI32(out, static_cast<int32_t>(shapes.size()));
  for (const Shape& s : shapes) {
    // A Tavrel coordinate of 0 is left out: absent and 0 read the same.
    uint8_t flags = 0;
    if (s.walkable) flags |= kObjectWalkable;
    if (s.gettable) flags |= kObjectGettable;
    if (s.sittable) flags |= kObjectSittable;
    if (s.tavrelX != 0) flags |= kObjectHasTavrelX;
    if (s.tavrelY != 0) flags |= kObjectHasTavrelY;
    out.push_back(flags);
    if (s.tavrelX != 0) out.push_back(static_cast<uint8_t>(s.tavrelX));
    if (s.tavrelY != 0) out.push_back(static_cast<uint8_t>(s.tavrelY));
  }
  return out;
}

ObjectFileResult ReadObjectFile(Document& doc, const std::string& path, int32_t n) {
  doc.state.qbjFlag = 0;
  const auto slots = static_cast<int32_t>(doc.list.slots.size());
  const auto fill = static_cast<size_t>(std::clamp(n, 0, slots));
  ObjectFileResult r = LoadObjectFile(path, std::span<Shape>(doc.list.slots.data(), fill));
  if (r.isObjectFile) doc.state.qbjFlag = 1;
  return r;
}

bool WriteObjectFile(Document& doc, platform::Platform& ui, const std::string& path) {
  std::vector<uint8_t> bytes = EncodeObjectFile(doc.list.Document());
  if (auto error = WriteFileAtomically(path, bytes)) {
    // The shape file is already written; without this the properties would
    // be lost behind a save that looks successful.
    platform::ShowError(ui.boxes, "Error while saving object properties - " + path +
                                      " could not be saved: " + *error +
                                      " The shapes were saved, their object properties were not. "
                                      "Please try again.");
    return false;
  }
  return true;
}

bool ImportObjectFile(Document& doc, platform::Platform& ui, const RefreshProperties& refresh) {
  platform::FileDialogRequest request;
  request.filters = {{"Quorvane Object Files (*.qbj)", "*.qbj"}, {"All Files (*.*)", "*.*"}};
  request.firstFilter = 0;
  request.defaultExtension = "qbj";
  request.maxLength = 510;
  request.fileMustExist = true;
  request.hideReadOnly = true;
  request.owner = platform::Owner::MainWindow;
  auto path = ui.files.AskOpenFileName(request);
  if (!path) return false;
  ObjectFileResult r = ReadObjectFile(doc, *path, doc.list.count);
  if (refresh) refresh();
  if (!r.isObjectFile) {
    platform::ShowError(ui.boxes, "Could not import object properties: " + *path +
                                      " is not a Quorvane object file. The shapes keep their "
                                      "properties, but saving writes no .qbj file until the QBJ "
                                      "properties are switched on again.");
    return false;
  }
  return true;
}

}  // namespace qshe
