#include "PictureHelpers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "support/TestFiles.h"

RgbPicture ParsePnm(const std::string& bytes) {
  RgbPicture pic;
  std::size_t pos = 0;
  auto token = [&]() {
    while (pos < bytes.size() && (std::isspace(static_cast<unsigned char>(bytes[pos])) || bytes[pos] == '#')) {
      if (bytes[pos] == '#')
        while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
      else
        ++pos;
    }
    const std::size_t start = pos;
    while (pos < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[pos]))) ++pos;
    return bytes.substr(start, pos - start);
  };
  const std::string magic = token();
  if (magic != "P6" && magic != "P5") return pic;
  const int w = std::atoi(token().c_str()), h = std::atoi(token().c_str()), maxval = std::atoi(token().c_str());
  ++pos;  // the single blank before the samples
  const int channels = magic == "P6" ? 3 : 1;
  if (maxval != 255 || w <= 0 || h <= 0 || bytes.size() - pos < std::size_t(w) * h * channels) return pic;
  pic.Width = w;
  pic.Height = h;
  pic.Rgb.resize(std::size_t(w) * h * 3);
  for (std::size_t i = 0; i < std::size_t(w) * h; ++i)
    for (int c = 0; c < 3; ++c)
      pic.Rgb[i * 3 + c] = uint8_t(bytes[pos + i * channels + (channels == 3 ? c : 0)]);
  return pic;
}

RgbPicture DecodeWithTool(const std::string& command) {
  int status = -1;
  const std::string out = RunCommand(command, &status);
  EXPECT_EQ(status, 0) << command;
  RgbPicture pic = ParsePnm(out);
  EXPECT_GT(pic.Width, 0) << "no picture from: " << command;
  return pic;
}

std::string Quote(const std::string& path) { return "'" + path + "'"; }

TColor PixelAt(const TBitmap& bmp, int x, int y) {
  const uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return RGB(p[kR], p[kG], p[kB]);
}

uint8_t XAt(const TBitmap& bmp, int x, int y) { return bmp.ScanLine(y)[x * 4 + kX]; }

Difference Compare(const TBitmap& bmp, const RgbPicture& pic) {
  Difference d;
  if (bmp.Width() != pic.Width || bmp.Height() != pic.Height) {
    d.Max = 256;
    return d;
  }
  for (int y = 0; y < pic.Height; ++y)
    for (int x = 0; x < pic.Width; ++x) {
      const TColor c = PixelAt(bmp, x, y);
      const uint8_t* t = pic.At(x, y);
      const int diff = std::max({std::abs(GetRValue(c) - t[0]), std::abs(GetGValue(c) - t[1]),
                                 std::abs(GetBValue(c) - t[2])});
      if (diff > d.Max) {
        d = {diff, x, y, c, {t[0], t[1], t[2]}};
      }
    }
  return d;
}

std::string Describe(const Difference& d) {
  std::ostringstream s;
  if (d.Max == 256) return "sizes differ";
  s << "largest difference " << d.Max << " at (" << d.X << ", " << d.Y << "): ours R,G,B = "
    << int(GetRValue(d.Ours)) << "," << int(GetGValue(d.Ours)) << "," << int(GetBValue(d.Ours)) << ", theirs "
    << int(d.Theirs[0]) << "," << int(d.Theirs[1]) << "," << int(d.Theirs[2]);
  return s.str();
}

namespace {
bool SetImmutable(const std::string& path, bool on) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return ok;
}
}  // namespace

ReadOnlyGuard::ReadOnlyGuard(const std::string& path) : path_(path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    ADD_FAILURE() << "cannot make " << path << " read-only: it does not exist";
    return;
  }
  mode_ = st.st_mode & 07777;
  chmod(path.c_str(), mode_ & ~0222u);
  if (geteuid() == 0) {
    immutable_ = SetImmutable(path, true);
    if (!immutable_) ADD_FAILURE() << "running as root and cannot set the immutable attribute of " << path;
  }
  EXPECT_NE(access(path.c_str(), W_OK), 0) << path << " is still writable";
}

ReadOnlyGuard::~ReadOnlyGuard() {
  if (immutable_) SetImmutable(path_, false);
  if (mode_) chmod(path_.c_str(), mode_);
}
