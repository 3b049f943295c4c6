#include "platform/qt/qt_clipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <algorithm>
#include <cstring>

namespace qshe::platform {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
// The editor keeps no more than this of a picture either way.
constexpr int kLargestSide = 255;

// Types under which programs offer the files the program's own readers take.
const char* const kPngTypes[] = {"image/png"};
const char* const kBmpTypes[] = {"image/bmp", "image/x-bmp", "image/x-ms-bmp", "image/x-MS-bmp", "image/x-win-bitmap"};

void Put32(char* at, uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<char>(v >> (8 * i));
}

// A bitmap file around the clipboard bitmap: the 14-byte file header, the
// pixels behind the header and the colour table the bitmap names.
QByteArray BitmapFile(const std::vector<uint8_t>& dib) {
  QByteArray file(kFileHeader, '\0');
  file[0] = 'B';
  file[1] = 'M';
  Put32(file.data() + 2, static_cast<uint32_t>(kFileHeader + dib.size()));
  uint32_t offset = kFileHeader + kInfoHeader;
  if (dib.size() >= kInfoHeader && dib[14] <= 8) {
    const uint32_t used = dib[32] | dib[33] << 8 | dib[34] << 16 | static_cast<uint32_t>(dib[35]) << 24;
    offset += 4 * (used ? used : 1u << dib[14]);
  }
  Put32(file.data() + 10, offset);
  file.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
  return file;
}

// A 32-bit bottom-up bitmap of the image's top-left part, alpha kept.
std::vector<uint8_t> BitmapOf(const QImage& source) {
  const QImage image = source.copy(0, 0, std::min(source.width(), kLargestSide),
                                   std::min(source.height(), kLargestSide))
                           .convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  std::vector<uint8_t> dib(kInfoHeader + static_cast<size_t>(w) * static_cast<size_t>(h) * 4, 0);
  char* hd = reinterpret_cast<char*>(dib.data());
  Put32(hd, kInfoHeader);
  Put32(hd + 4, static_cast<uint32_t>(w));
  Put32(hd + 8, static_cast<uint32_t>(h));
  hd[12] = 1;
  hd[14] = 32;
  for (int row = 0; row < h; ++row) {
    // Blue, green, red, alpha in memory, as the bitmap stores them.
    std::memcpy(dib.data() + kInfoHeader + static_cast<size_t>(row) * static_cast<size_t>(w) * 4,
                image.constScanLine(h - 1 - row), static_cast<size_t>(w) * 4);
  }
  return dib;
}

uint32_t Le32(const QByteArray& b) {
  return static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8 | static_cast<uint8_t>(b[2]) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[3])) << 24;
}

// The first PNG or BMP on offer, as its bytes; a bitmap without its file
// header (as some programs offer it) goes where device-independent bitmaps go.
bool TakeFile(const QMimeData& data, ClipboardContent& content) {
  for (const char* type : kPngTypes) {
    if (!data.hasFormat(type)) continue;
    const QByteArray bytes = data.data(type);
    if (bytes.isEmpty()) continue;
    content.file.assign(bytes.begin(), bytes.end());
    return true;
  }
  for (const char* type : kBmpTypes) {
    if (!data.hasFormat(type)) continue;
    const QByteArray bytes = data.data(type);
    if (bytes.size() < 4) continue;
    const uint32_t header = Le32(bytes);
    auto& into = bytes.startsWith("BM") || (header != 12 && header < 40) ? content.file : content.bitmap;
    into.assign(bytes.begin(), bytes.end());
    return true;
  }
  return false;
}

// Any other image format through Qt's readers, only its top-left part where
// the reader can cut while reading (the whole picture might not fit).
QImage OtherImage(const QMimeData& data, std::string& problem) {
  for (const QString& format : data.formats()) {
    if (!format.startsWith("image/")) continue;
    QByteArray bytes = data.data(format);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kLargestSide || size.height() > kLargestSide)) {
      reader.setClipRect(QRect(0, 0, std::min(size.width(), kLargestSide), std::min(size.height(), kLargestSide)));
    }
    QImage image = reader.read();
    if (!image.isNull()) return image;
    problem = "It could not be read as " + format.toStdString() + " (" + reader.errorString().toStdString() + ").";
  }
  if (data.hasImage()) {
    QImage image = qvariant_cast<QImage>(data.imageData());
    if (!image.isNull()) {
      problem.clear();
      return image;
    }
  }
  return {};
}

}  // namespace

bool QtClipboard::PutClipboard(const ClipboardContent& content) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  auto* data = new QMimeData;
  if (!content.bitmap.empty()) {
    const QByteArray file = BitmapFile(content.bitmap);
    QImage image;
    if (image.loadFromData(file, "BMP")) {
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      image.save(&buffer, "PNG");
      data->setData("image/png", png);
    }
    data->setData("image/bmp", file);
  }
  if (!content.indices.empty()) {
    data->setData(kIndicesMimeType, QByteArray(reinterpret_cast<const char*>(content.indices.data()),
                                               static_cast<qsizetype>(content.indices.size())));
  }
  clipboard->setMimeData(data);
  return true;
}

ClipboardContent QtClipboard::GetClipboard() {
  ClipboardContent content;
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data) return content;
  if (data->hasFormat(kIndicesMimeType)) {
    const QByteArray indices = data->data(kIndicesMimeType);
    content.indices.assign(indices.begin(), indices.end());
  }
  if (TakeFile(*data, content)) return content;
  const QImage image = OtherImage(*data, content.problem);
  if (!image.isNull()) content.bitmap = BitmapOf(image);
  return content;
}

}  // namespace qshe::platform
