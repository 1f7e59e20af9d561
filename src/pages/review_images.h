// The page images of a book and the line snippets that the review page
// shows. The image of a page is the one its file names, beside the file
// (or where the name leads from there); else an image beside the file
// with the file's own name and an image's extension; else either of those
// names in the folder of images that the user gave. Images are read with
// leptonica (TIFF, PNG, JPEG, JPEG 2000 and the others it knows); a build
// without it finds the images but reads none.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "pages/review_geometry.h"

namespace scanmend::pages {

// The image of the page read from `source`, which names `reference` (may
// be empty); empty where none is found. `imagesFolder` may be empty.
std::string findPageImage(const std::filesystem::path& source, const std::string& reference,
                          const std::string& imagesFolder);

// Whether this build reads images.
bool readsImages();

// Whether a browser shows the image file as it is (JPEG, PNG, GIF, WebP,
// BMP), told by its first bytes.
bool browserShows(const std::string& path);

// The URL of `file` for a page in `folder`: relative where it can be,
// every byte that a URL path cannot hold escaped.
std::string relativeUrl(const std::filesystem::path& folder, const std::filesystem::path& file);

// A page image, held in grey for cutting.
class PageImage {
 public:
  PageImage();
  ~PageImage();
  PageImage(const PageImage&) = delete;
  PageImage& operator=(const PageImage&) = delete;

  // False, with the reason, for a file that is no image leptonica reads,
  // or one too large to hold.
  bool read(const std::string& path, std::string& reason);
  std::int64_t width() const;
  std::int64_t height() const;
  // Its resolution in pixels an inch, 0 where the file gives none.
  int resolution() const;

  // The part `box` of the image with `margin` pixels about it, as PNG
  // bytes in `png` (with `mostHeight`, as greyscale JPEG for the screen), scaled down to
  // `mostHeight` pixels where it is higher and that is not 0; `cut` is the part of the image taken.
  // False where the box lies outside the image.
  bool cutLine(const Box& box, std::int64_t margin, std::int64_t mostHeight, std::string& png,
               Box& cut) const;
  // The whole image scaled by `scale` (at most 1) as greyscale JPEG bytes.
  bool smallerJpeg(double scale, std::string& jpeg) const;

 private:
  struct Pixels;
  std::unique_ptr<Pixels> pixels_;
};

}  // namespace scanmend::pages
