#include "pages/review_images.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#ifdef SCANMEND_WITH_LEPTONICA
#include <allheaders.h>
#endif

namespace scanmend::pages {
namespace {

namespace fs = std::filesystem;

constexpr std::array<std::string_view, 9> kImageExtensions{".tif", ".tiff", ".png", ".jpg", ".jpeg",
                                                           ".jp2", ".TIF",  ".PNG", ".JPG"};

// No image of more pixels is read: 40,000 x 25,000, far beyond a scan.
constexpr std::int64_t kMostPixels = std::int64_t{1000} * 1000 * 1000;

bool isFile(const fs::path& path) {
  std::error_code error;
  return !path.empty() && fs::is_regular_file(path, error);
}

// The reference as a path: a file: URL's path, nothing for another URL.
std::string referencePath(const std::string& reference) {
  if (reference.starts_with("file://")) return reference.substr(7);
  if (reference.find("://") != std::string::npos) return "";
  return reference;
}

// The file name a reference ends in, whether it was written on this system
// or on one that separates folders with a backslash, as in C:\scans\001.tif.
fs::path fileNameOf(const std::string& reference) {
  const std::size_t slash = reference.find_last_of("/\\");
  return fs::path(slash == std::string::npos ? reference : reference.substr(slash + 1));
}

}  // namespace

bool browserShows(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  unsigned char head[12] = {};
  const std::size_t read = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  const auto starts = [&](std::string_view magic, std::size_t at = 0) {
    return read >= at + magic.size() &&
           std::equal(magic.begin(), magic.end(), head + at,
                      [](char m, unsigned char h) { return static_cast<unsigned char>(m) == h; });
  };
  return starts("\xFF\xD8\xFF") || starts("\x89PNG") || starts("GIF8") || starts("BM") ||
         (starts("RIFF") && starts("WEBP", 8));
}

std::string relativeUrl(const fs::path& folder, const fs::path& file) {
  std::error_code error;
  const fs::path relative = fs::relative(file, folder, error);
  const bool isRelative = !error && !relative.empty();
  const std::string path =
      isRelative ? relative.generic_string() : fs::absolute(file).generic_string();
  std::string url = isRelative ? "" : "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '/' || c == '.' || c == '-' ||
                       c == '_' || c == '~';
    if (plain) {
      url += c;
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      url += escape;
    }
  }
  return url;
}

std::string findPageImage(const fs::path& source, const std::string& reference,
                          const std::string& imagesFolder) {
  const fs::path folder = source.parent_path();
  const std::string named = referencePath(reference);
  if (!named.empty()) {
    const fs::path path(named);
    if (path.is_absolute() && isFile(path)) return path.string();
    if (path.is_relative() && isFile(folder / path)) return (folder / path).string();
    if (isFile(folder / fileNameOf(named))) return (folder / fileNameOf(named)).string();
  }
  for (const std::string_view extension : kImageExtensions) {
    const fs::path beside = folder / (source.stem().string() + std::string(extension));
    if (isFile(beside)) return beside.string();
  }
  if (imagesFolder.empty()) return "";
  const fs::path images(imagesFolder);
  if (!named.empty()) {
    const fs::path path(named);
    if (path.is_relative() && isFile(images / path)) return (images / path).string();
    if (isFile(images / fileNameOf(named))) return (images / fileNameOf(named)).string();
  }
  for (const std::string_view extension : kImageExtensions) {
    const fs::path there = images / (source.stem().string() + std::string(extension));
    if (isFile(there)) return there.string();
  }
  return "";
}

#ifdef SCANMEND_WITH_LEPTONICA

struct PageImage::Pixels {
  PIX* pix = nullptr;
  int resolution = 0;
  ~Pixels() { pixDestroy(&pix); }
};

bool readsImages() { return true; }

PageImage::PageImage() = default;
PageImage::~PageImage() = default;

bool PageImage::read(const std::string& path, std::string& reason) {
  // leptonica reports its troubles on standard error; the review says
  // what matters itself.
  setMsgSeverity(L_SEVERITY_NONE);
  l_int32 format = 0, w = 0, h = 0, bps = 0, spp = 0, colormap = 0;
  if (pixReadHeader(path.c_str(), &format, &w, &h, &bps, &spp, &colormap) != 0) {
    reason = "is no image that can be read";
    return false;
  }
  if (w <= 0 || h <= 0 || static_cast<std::int64_t>(w) * h > kMostPixels) {
    reason = "is too large an image (" + std::to_string(w) + " x " + std::to_string(h) + ")";
    return false;
  }
  PIX* read = pixRead(path.c_str());
  if (read == nullptr) {
    reason = "is no image that can be read";
    return false;
  }
  PIX* grey = pixConvertTo8(read, 0);
  const int resolution = pixGetXRes(read);
  pixDestroy(&read);
  if (grey == nullptr) {
    reason = "cannot be made grey";
    return false;
  }
  pixels_ = std::make_unique<Pixels>();
  pixels_->pix = grey;
  pixels_->resolution = resolution;
  return true;
}

std::int64_t PageImage::width() const { return pixels_ ? pixGetWidth(pixels_->pix) : 0; }
std::int64_t PageImage::height() const { return pixels_ ? pixGetHeight(pixels_->pix) : 0; }
int PageImage::resolution() const { return pixels_ ? pixels_->resolution : 0; }

bool PageImage::cutLine(const Box& box, std::int64_t margin, std::int64_t mostHeight,
                        std::string& png, Box& cut) const {
  if (!pixels_ || box.empty()) return false;
  const std::int64_t left = std::max<std::int64_t>(0, box.x - margin);
  const std::int64_t top = std::max<std::int64_t>(0, box.y - margin);
  const std::int64_t right = std::min(width(), box.x + box.width + margin);
  const std::int64_t bottom = std::min(height(), box.y + box.height + margin);
  if (right <= left || bottom <= top) return false;
  cut = {left, top, right - left, bottom - top};
  BOX* region = boxCreate(static_cast<l_int32>(left), static_cast<l_int32>(top),
                          static_cast<l_int32>(right - left), static_cast<l_int32>(bottom - top));
  PIX* part = pixClipRectangle(pixels_->pix, region, nullptr);
  boxDestroy(&region);
  if (part == nullptr) return false;
  if (mostHeight > 0 && cut.height > mostHeight) {
    const float scale = static_cast<float>(mostHeight) / static_cast<float>(cut.height);
    PIX* smaller = pixScaleAreaMap(part, scale, scale);
    pixDestroy(&part);
    part = smaller;
    if (part == nullptr) return false;
  }
  l_uint8* data = nullptr;
  size_t size = 0;
  // For the screen, JPEG: a fifth of the time PNG takes to write.
  const bool written = (mostHeight > 0 ? pixWriteMemJpeg(&data, &size, part, 85, 0)
                                       : pixWriteMem(&data, &size, part, IFF_PNG)) == 0;
  pixDestroy(&part);
  if (written) png.assign(reinterpret_cast<const char*>(data), size);
  std::free(data);
  return written;
}

bool PageImage::smallerJpeg(double scale, std::string& jpeg) const {
  if (!pixels_) return false;
  PIX* smaller = scale < 1 ? pixScaleAreaMap(pixels_->pix, static_cast<float>(scale),
                                             static_cast<float>(scale))
                           : pixClone(pixels_->pix);
  if (smaller == nullptr) return false;
  l_uint8* data = nullptr;
  size_t size = 0;
  const bool written = pixWriteMemJpeg(&data, &size, smaller, 85, 0) == 0;
  pixDestroy(&smaller);
  if (written) jpeg.assign(reinterpret_cast<const char*>(data), size);
  std::free(data);
  return written;
}

#else

struct PageImage::Pixels {};

bool readsImages() { return false; }

PageImage::PageImage() = default;
PageImage::~PageImage() = default;

bool PageImage::read(const std::string&, std::string& reason) {
  reason = "cannot be read: this scanmend-pages was built without leptonica";
  return false;
}

std::int64_t PageImage::width() const { return 0; }
std::int64_t PageImage::height() const { return 0; }
int PageImage::resolution() const { return 0; }
bool PageImage::cutLine(const Box&, std::int64_t, std::int64_t, std::string&, Box&) const {
  return false;
}
bool PageImage::smallerJpeg(double, std::string&) const { return false; }

#endif

}  // namespace scanmend::pages
