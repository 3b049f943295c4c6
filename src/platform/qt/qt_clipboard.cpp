#include "platform/qt/qt_clipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <algorithm>
#include <cstring>

namespace qshe::platform {
namespace {

constexpr int kFileHeader = 14;
constexpr int kInfoHeader = 40;
// The editor keeps no more than this of a picture either way.
constexpr int kLargestSide = 256;

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

QImage OfferedImage(const QMimeData& data) {
  QImage image;
  // PNG first: it keeps alpha and every colour.
  if (data.hasFormat("image/png") && image.loadFromData(data.data("image/png"), "PNG")) return image;
  if (data.hasImage()) {
    image = qvariant_cast<QImage>(data.imageData());
    if (!image.isNull()) return image;
  }
  for (const QString& format : data.formats()) {
    if (format.startsWith("image/") && image.loadFromData(data.data(format))) return image;
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
  const QImage image = OfferedImage(*data);
  if (!image.isNull()) content.bitmap = BitmapOf(image);
  return content;
}

}  // namespace qshe::platform
