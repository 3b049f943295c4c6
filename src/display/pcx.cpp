#include "display/pcx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qshe {

namespace {

constexpr int kHeaderSize = 128;
constexpr int kPaletteBlockSize = 769;  // marker 0x0C and 256 triples
constexpr uint8_t kPcxMagic = 0x0A;
constexpr uint8_t kPaletteMarker = 0x0C;
constexpr int kFirstFileColor = 10;
constexpr int kFileColors = 236;

struct PcxHeader {
  int version = 0;
  int encoding = 0;
  int bitsPerPixel = 0;
  int xmin = 0, ymin = 0, xmax = 0, ymax = 0;
  int planes = 0;
  int bytesPerLine = 0;  // per plane
  const uint8_t* palette16 = nullptr;

  int64_t width() const { return int64_t{xmax} - xmin + 1; }
  int64_t height() const { return int64_t{ymax} - ymin + 1; }
  int lineBytes() const { return planes * bytesPerLine; }
};

int Le16(const uint8_t* p) { return p[0] | (p[1] << 8); }

// The header, or false when the bytes are not a PCX file.
bool ReadHeader(ByteSource& source, uint8_t (&bytes)[kHeaderSize], PcxHeader& h) {
  if (source.ReadAt(0, bytes, kHeaderSize) != kHeaderSize || bytes[0] != kPcxMagic) return false;
  h.version = bytes[1];
  h.encoding = bytes[2];
  h.bitsPerPixel = bytes[3];
  h.xmin = Le16(bytes + 4);
  h.ymin = Le16(bytes + 6);
  h.xmax = Le16(bytes + 8);
  h.ymax = Le16(bytes + 10);
  h.palette16 = bytes + 16;
  h.planes = bytes[65];
  h.bytesPerLine = Le16(bytes + 66);
  return true;
}

// Only layouts whose pixels we know how to turn into palette indices, and
// scan lines that hold the whole width and fit the work area.
bool Decodable(const PcxHeader& h) {
  bool layout = (h.planes == 1 && (h.bitsPerPixel == 8 || h.bitsPerPixel == 4 || h.bitsPerPixel == 2)) ||
                (h.bitsPerPixel == 1 && h.planes >= 1 && h.planes <= 4);
  // The encoding byte is not looked at: every picture is read run-length
  // coded, as the pictures this program reads always are.
  return layout && h.bytesPerLine > 0 && h.xmax >= h.xmin && h.ymax >= h.ymin &&
         int64_t{h.bytesPerLine} * 8 >= h.width() * h.bitsPerPixel && h.lineBytes() <= kPcxWorkArea;
}

// The 256 colours after the image data of an 8-bit picture. Only 8-bit
// pictures of version 5 have them: in any other file the last bytes are image
// data that could start with the marker by chance.
bool ReadTrailingPalette(ByteSource& source, const PcxHeader& h, uint8_t (&block)[kPaletteBlockSize]) {
  if (h.version != 5 || h.bitsPerPixel != 8 || h.planes != 1) return false;
  int64_t size = source.Size();
  if (size < kHeaderSize + kPaletteBlockSize) return false;
  return source.ReadAt(size - kPaletteBlockSize, block, kPaletteBlockSize) == kPaletteBlockSize &&
         block[0] == kPaletteMarker;
}

// Run-length input read in chunks. A run may cross the end of a scan line;
// what is left of it starts the next one.
class RunDecoder {
 public:
  RunDecoder(ByteSource& source, int64_t end, std::span<uint8_t, kPcxReadChunk> buffer)
      : source_(source), end_(end), buffer_(buffer.data()) {}

  // Fills out[0..n); false when the data ends first.
  bool Line(uint8_t* out, size_t n) {
    size_t i = 0;
    while (i < n) {
      if (runLeft_ > 0) {
        size_t k = std::min(runLeft_, n - i);
        std::memset(out + i, runValue_, k);
        i += k;
        runLeft_ -= k;
        continue;
      }
      // Most codes lie wholly inside the chunk: decode those without
      // checking for its end byte by byte.
      const uint8_t* p = buffer_ + at_;
      const uint8_t* safe = buffer_ + (have_ > 0 ? have_ - 1 : 0);
      while (i < n && p < safe) {
        uint8_t b = *p++;
        if (b < 0xC0) {
          out[i++] = b;
          continue;
        }
        size_t count = b & 0x3Fu;
        uint8_t value = *p++;
        size_t k = std::min(count, n - i);
        std::memset(out + i, value, k);
        i += k;
        if (k < count) {
          runLeft_ = count - k;
          runValue_ = value;
        }
      }
      at_ = static_cast<size_t>(p - buffer_);
      if (i == n || runLeft_ > 0) continue;
      // A code split over two chunks, or the chunk is used up.
      uint8_t b;
      if (!Next(b)) return false;
      if (b < 0xC0) {
        out[i++] = b;
      } else if (!Next(runValue_)) {
        return false;
      } else {
        runLeft_ = b & 0x3Fu;
      }
    }
    return true;
  }

  // Walks over n decoded bytes without keeping them; false when the data
  // ends first.
  bool Skip(int64_t n) {
    // What is left of a run that crossed the last line kept counts first.
    if (runLeft_ > 0 && n > 0) {
      size_t k = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(runLeft_), n));
      runLeft_ -= k;
      n -= static_cast<int64_t>(k);
    }
    while (n > 0) {
      const uint8_t* p = buffer_ + at_;
      const uint8_t* safe = buffer_ + (have_ > 0 ? have_ - 1 : 0);
      while (n > 0 && p < safe) {
        uint8_t b = *p++;
        if (b < 0xC0) {
          --n;
        } else {
          ++p;
          n -= b & 0x3F;  // a run may overshoot: the rest would carry on
        }
      }
      at_ = static_cast<size_t>(p - buffer_);
      if (n <= 0) break;
      uint8_t b, value;
      if (!Next(b)) return false;
      if (b < 0xC0) {
        --n;
      } else {
        if (!Next(value)) return false;
        n -= b & 0x3F;
      }
    }
    return true;
  }

 private:
  bool Next(uint8_t& b) {
    if (at_ == have_) {
      int64_t left = end_ - pos_;
      if (left <= 0) return false;
      have_ = source_.ReadAt(pos_, buffer_, static_cast<size_t>(std::min<int64_t>(left, kPcxReadChunk)));
      at_ = 0;
      pos_ += static_cast<int64_t>(have_);
      if (have_ == 0) return false;
    }
    b = buffer_[at_++];
    return true;
  }

  ByteSource& source_;
  int64_t pos_ = kHeaderSize;
  int64_t end_;
  uint8_t* buffer_;
  size_t have_ = 0;
  size_t at_ = 0;
  uint8_t runValue_ = 0;
  size_t runLeft_ = 0;
};

// Palette indices of `count` pixels from pixel `first` of a decoded scan
// line. Colours of 16-colour and smaller pictures go to entries 10.., so
// their pixels move there too.
void ConvertLine(const PcxHeader& h, const uint8_t* line, int64_t first, int64_t count, uint8_t* out) {
  constexpr uint8_t base = kFirstFileColor;
  switch (h.bitsPerPixel) {
    case 8:
      std::memcpy(out, line + first, static_cast<size_t>(count));
      return;
    case 4:
      for (int64_t i = 0, c = first; i < count; ++i, ++c)
        out[i] = static_cast<uint8_t>(base + ((line[c >> 1] >> ((c & 1) ? 0 : 4)) & 0x0F));
      return;
    case 2:
      for (int64_t i = 0, c = first; i < count; ++i, ++c)
        out[i] = static_cast<uint8_t>(base + ((line[c >> 2] >> (6 - 2 * (c & 3))) & 0x03));
      return;
    default:
      for (int64_t i = 0, c = first; i < count; ++i, ++c) {
        int value = 0;
        for (int p = 0; p < h.planes; ++p)
          value |= ((line[p * h.bytesPerLine + (c >> 3)] >> (7 - (c & 7))) & 1) << p;
        out[i] = static_cast<uint8_t>(base + value);
      }
      return;
  }
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

class FileSource : public ByteSource {
 public:
  explicit FileSource(const std::string& path) {
    // Only regular files: a FIFO would block the window until someone writes
    // to it, and a device is no picture.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return;
    }
    file_.reset(::fdopen(fd, "rb"));
    if (!file_) {
      ::close(fd);
      return;
    }
    // Few large reads rather than one per chunk.
    std::setvbuf(file_.get(), nullptr, _IOFBF, 1 << 16);
  }
  bool open() const { return file_ != nullptr; }

  int64_t Size() override {
    pos_ = -1;
    if (std::fseek(file_.get(), 0, SEEK_END) != 0) return 0;
    long size = std::ftell(file_.get());
    return size < 0 ? 0 : size;
  }

  size_t ReadAt(int64_t offset, uint8_t* out, size_t n) override {
    if (offset != pos_ && std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0) {
      pos_ = -1;
      return 0;
    }
    size_t got = std::fread(out, 1, n, file_.get());
    pos_ = offset + static_cast<int64_t>(got);
    return got;
  }

 private:
  std::unique_ptr<std::FILE, FileCloser> file_;
  int64_t pos_ = -1;
};

}  // namespace

size_t MemorySource::ReadAt(int64_t offset, uint8_t* out, size_t n) {
  if (offset < 0 || static_cast<uint64_t>(offset) >= bytes_.size()) return 0;
  n = std::min(n, bytes_.size() - static_cast<size_t>(offset));
  std::memcpy(out, bytes_.data() + offset, n);
  return n;
}

int ReadPcxPalette(ByteSource& source, std::span<uint8_t, 768> rgb) {
  uint8_t header[kHeaderSize];
  PcxHeader h;
  if (!ReadHeader(source, header, h)) return kPcxPaletteNotPcx;
  uint8_t block[kPaletteBlockSize];
  if (ReadTrailingPalette(source, h, block)) {
    std::memcpy(rgb.data(), block + 1, 768);
    return 256;
  }
  std::memcpy(rgb.data(), h.palette16, 48);
  return 16;
}

int ReadPcxPalette(const std::string& path, std::span<uint8_t, 768> rgb) {
  FileSource file(path);
  if (!file.open()) return kPcxPaletteCannotOpen;
  return ReadPcxPalette(file, rgb);
}

int ShowPcx(DisplayState& state, ByteSource& source) {
  VirtualBuffer* b = ActiveBuffer(state);
  if (!b) return kPcxNoBuffer;
  uint8_t header[kHeaderSize];
  PcxHeader h;
  if (!ReadHeader(source, header, h) || !Decodable(h)) return kPcxRefused;

  // The picture is cut to the buffer on every side; the clipping rectangle
  // plays no part.
  int64_t x = state.x, y = state.y;
  int64_t firstColumn = std::max<int64_t>(x, 0);
  int64_t lastColumn = std::min<int64_t>(x + h.width() - 1, b->width - 1);
  int64_t firstRow = std::max<int64_t>(0, -y);  // image rows, top row 0
  int64_t lastRow = std::min<int64_t>(h.height() - 1, b->height - 1 - y);
  if (firstColumn > lastColumn || firstRow > lastRow) return kPcxNothingFits;

  uint8_t block[kPaletteBlockSize];
  bool trailingPalette = ReadTrailingPalette(source, h, block);
  int64_t end = source.Size() - (trailingPalette ? kPaletteBlockSize : 0);

  // A picture whose data ends early is refused with the buffer as it was.
  // The rows it covers are kept aside and put back if the data runs out,
  // which costs far less than a checking pass over the whole file; without
  // memory for that, the checking pass it is.
  size_t lineBytes = static_cast<size_t>(h.lineBytes());
  int64_t wholeImage = h.height() * static_cast<int64_t>(lineBytes);
  uint8_t* band = b->Row(static_cast<int>(y + lastRow));
  size_t bandBytes = static_cast<size_t>(lastRow - firstRow + 1) * static_cast<size_t>(b->width);
  std::unique_ptr<uint8_t[]> saved(new (std::nothrow) uint8_t[bandBytes]);
  if (saved) {
    std::memcpy(saved.get(), band, bandBytes);
  } else if (!RunDecoder(source, end, state.pcxRead).Skip(wholeImage)) {
    return kPcxRefused;
  }

  RunDecoder decoder(source, end, state.pcxRead);
  uint8_t* line = state.pcxWork.data();
  bool whole = true;
  for (int64_t r = 0; r <= lastRow && whole; ++r) {
    whole = decoder.Line(line, lineBytes);
    if (whole && r >= firstRow)
      ConvertLine(h, line, firstColumn - x, lastColumn - firstColumn + 1,
                  b->Row(static_cast<int>(y + r)) + firstColumn);
  }
  // The rows below the buffer must be there too, or the file is broken.
  if (whole) whole = decoder.Skip(wholeImage - (lastRow + 1) * static_cast<int64_t>(lineBytes));
  if (!whole) {
    if (saved) std::memcpy(band, saved.get(), bandBytes);
    return kPcxRefused;
  }

  if (trailingPalette)
    SetPalette(state, kFirstFileColor, kFileColors,
               std::span<const uint8_t>(block + 1 + 3 * kFirstFileColor, 3 * kFileColors));
  else
    SetPalette(state, kFirstFileColor, 16, std::span<const uint8_t>(h.palette16, 48));
  return kPcxShown;
}

int ShowPcx(DisplayState& state, const std::string& path) {
  if (!ActiveBuffer(state)) return kPcxNoBuffer;
  FileSource file(path);
  if (!file.open()) return kPcxCannotOpen;
  return ShowPcx(state, file);
}

}  // namespace qshe
